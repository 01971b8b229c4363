#pragma once
// A scene file typed in byte by byte from the record layout of the Vorn
// exporter's format, with no help from the engine: neither the reader's
// offset table nor the scene writer. The reader and the writer both go
// through one offset table, so a wrong offset there passes every round trip;
// this file is the independent witness against which both are held
// (tests/gl/SceneFixtureTest.cpp reads it, tests/unit/SceneReaderTest.cpp
// makes the writer produce it). Every field holds a value of its own, so a
// field read from its neighbour's place shows.

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace scenefixture {

// Little-endian emitters.
struct Bytes {
    std::vector<unsigned char> data;

    Bytes& u8(unsigned char v)
    {
        data.push_back(v);
        return *this;
    }
    Bytes& u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            data.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return *this;
    }
    Bytes& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    Bytes& f32(std::initializer_list<float> values)
    {
        for (float v : values) {
            uint32_t bits;
            std::memcpy(&bits, &v, 4);
            u32(bits);
        }
        return *this;
    }
    // A zero-terminated string in a field of `size` bytes.
    Bytes& text(const char* s, size_t size)
    {
        size_t length = std::strlen(s);
        data.insert(data.end(), s, s + length);
        data.insert(data.end(), size - length, 0);
        return *this;
    }
    Bytes& zeros(size_t n)
    {
        data.insert(data.end(), n, 0);
        return *this;
    }
    Bytes& append(const Bytes& more)
    {
        data.insert(data.end(), more.data.begin(), more.data.end());
        return *this;
    }
    // A chunk: type, payload size, payload.
    Bytes& chunk(uint32_t type, const Bytes& payload)
    {
        return u32(type).u32(uint32_t(payload.data.size())).append(payload);
    }
};

// Field widths of the format.
constexpr size_t kName = 52;
constexpr size_t kTextureName = 100;

// The rotations stored for the dummy, the mesh and the last sample.
constexpr float kDummyTurn[4] = {0.2f, 0.3f, 0.4f, 0.843f};
constexpr float kMeshTurn[4] = {0.0f, 0.247f, 0.0f, 0.969f};

inline Bytes material(int32_t id, const char* name, std::initializer_list<float> colours, float glossiness,
                      float specularLevel, float opacity, unsigned char twoSided,
                      std::initializer_list<const char*> maps, unsigned char environment)
{
    Bytes b;
    b.i32(id).text(name, kName).f32(colours).f32({glossiness, specularLevel, opacity}).u8(twoSided);
    for (const char* map : maps) // diffuse, second, additive, bump, opacity, detail
        b.text(map, kTextureName);
    return b.u8(environment).zeros(2);
}

inline Bytes light(int32_t id, const char* name, std::initializer_list<float> positionColourRange, int32_t targetId,
                   float spotExponent, float spotCutoff, const char* projected)
{
    Bytes b;
    b.i32(id).text(name, kName).f32(positionColourRange).i32(targetId).f32({spotExponent, spotCutoff});
    return b.text(projected, kTextureName);
}

inline Bytes face(std::initializer_list<uint32_t> indices, int32_t materialId, uint32_t flags)
{
    Bytes b;
    for (uint32_t i : indices) // 3 vertices, 3 first-set, 3 second-set coordinates
        b.u32(i);
    return b.i32(materialId).u32(flags);
}

inline Bytes controller(int32_t owner, uint32_t kind, uint32_t controllerClass, uint32_t count, int32_t interval)
{
    Bytes b;
    return b.u32(0).i32(owner).u32(kind).u32(controllerClass).u32(0).u32(count).i32(interval);
}

// Materials 1 (plain, two-sided), 0 (environment) and 2 (all six maps); a
// dummy (100) with a mesh child (101); a path (102, no faces); a marker
// (103); two cameras (200, 201); two lights (300, 301, the second projecting
// a texture); a flare (400); samples for the mesh, position keys for the
// dummy and rotation keys for the marker. Textures: s.png, d.png, a.png,
// b.png, o.png, x.png and p.png.
inline std::vector<unsigned char> handMadeScene()
{
    Bytes file;
    file.u32(0).u32(1); // magic, version

    file.chunk(4, material(1, "red", {0.1f, 0.05f, 0.02f, 0.9f, 0.15f, 0.125f, 0.5f, 0.6f, 0.7f}, 0.25f, 1.5f, 0.7f, 1,
                           {"", "", "", "", "", ""}, 0));
    file.chunk(4, material(0, "chrome", {0.3f, 0.35f, 0.4f, 0.45f, 0.55f, 0.65f, 0.75f, 0.85f, 0.95f}, 0.5f, 2.5f, 1.0f,
                           0, {"", "s.png", "", "", "", ""}, 1));
    file.chunk(4, material(2, "layered", {0.01f, 0.02f, 0.03f, 0.04f, 0.05f, 0.06f, 0.07f, 0.08f, 0.09f}, 0.125f,
                           3.5f, 0.3f, 0, {"d.png", "s.png", "a.png", "b.png", "o.png", "x.png"}, 0));

    Bytes dummy;
    dummy.i32(100).i32(0).text("Root", kName).f32({1, 2, 3});
    dummy.f32({kDummyTurn[0], kDummyTurn[1], kDummyTurn[2], kDummyTurn[3]}).f32({2, 2.5f, 3.5f});
    file.chunk(3, dummy);

    Bytes quad;
    quad.i32(101).i32(100).text("Quad", kName).u32(4).u32(3).u32(2).u32(3).f32({-4, 5, -6});
    quad.f32({kMeshTurn[0], kMeshTurn[1], kMeshTurn[2], kMeshTurn[3]}).f32({1, 3, 0.5f}).zeros(12);
    quad.f32({0, 0, 0, 1, 0, 0.5f, 1, 1, 0, 0, 1, -0.5f});        // vertices
    quad.f32({0, 0.25f, 1, 0.5f, 0.5f, 1});                          // first set
    quad.f32({0.125f, 0.75f, 0.375f, -2});                           // second set
    quad.append(face({0, 1, 2, 2, 1, 0, 1, 0, 1}, 1, 0x5)).append(face({0, 2, 3, 0, 0, 1, 0, 1, 0}, -1, 0x80000002));
    quad.append(face({1, 2, 3, 1, 2, 0, 1, 1, 0}, 2, 0x10));
    file.chunk(2, quad);

    Bytes path;
    path.i32(102).i32(0).text("Path", kName).u32(2).u32(1).u32(0).u32(0).f32({0, 0, 0, 0, 0, 0, 1, 1, 1, 1}).zeros(12);
    path.f32({10, 0, 0, 20, 5, 0}).f32({0.5f, 0.5f});
    file.chunk(2, path);

    Bytes marker;
    file.chunk(6, marker.i32(103).text("Spot", kName).f32({7, 8, 9}));
    Bytes camera1, camera2;
    file.chunk(5, camera1.i32(200).text("Camera01", kName).f32({0, 10, 100, 60}).i32(103));
    file.chunk(5, camera2.i32(201).text("Camera02", kName).f32({5, 6, 7, 30}).i32(0));

    file.chunk(7, light(300, "Sun", {50, 60, 70, 1, 0.5f, 0.25f, 4}, 101, 20, 60, ""));
    file.chunk(7, light(301, "Projector", {-1, -2, -3, 0.2f, 0.4f, 0.6f, 0}, 0, 12, 45, "p.png"));

    Bytes flare;
    file.chunk(9, flare.i32(400).text("Glint", kName).f32({3, 3.5f, 4}));

    Bytes samples = controller(101, 5, 1, 3, 2);
    samples.f32({0, 0, 0, 0, 0, 0, 1});
    samples.f32({2, 4, 6, 0, 0, 0.479f, 0.878f});
    samples.f32({4, 8, 12, 0, 0, 0.841f, 0.540f});
    file.chunk(8, samples);

    Bytes positionKeys = controller(100, 2, 2, 2, 0);
    positionKeys.u32(0x12340005).f32({1, 1.5f, 2, 0.5f, 0.25f, -0.5f, 9, 10}); // only the low 16 bits of a frame count
    positionKeys.u32(0xFFFF).f32({3, 1, 1, 0.1f, 0.2f, 0.3f, 0, 0});           // frame -1
    file.chunk(8, positionKeys);

    Bytes rotationKeys = controller(103, 3, 2, 1, 0);
    file.chunk(8, rotationKeys.u32(10).f32({0.1f, 0.2f, 0.3f, 0.4f}));

    file.chunk(1, Bytes());
    return file.data;
}

} // namespace scenefixture
