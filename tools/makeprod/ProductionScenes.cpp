#include "tools/makeprod/ProductionScenes.h"

#include "tools/makeprod/ProductionShadowScenes.h"
#include "tools/makeprod/SaveScene.h"

#include "tools/scenewriter/MeshShapes.h"
#include "tools/scenewriter/SceneWriter.h"

#include <png.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

float clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

float smooth(float t)
{
    t = clamp01(t);
    return t * t * (3.0f - 2.0f * t);
}

// ---------------------------------------------------------------------------
// Pictures

struct Colour {
    float r, g, b;
};

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, float f)
{
    return {c.r * f, c.g * f, c.b * f};
}

// An RGBA picture, top row first.
struct Picture {
    int width, height;
    std::vector<uint8_t> rgba;

    Picture(int w, int h) : width(w), height(h), rgba(size_t(w) * size_t(h) * 4, 255) {}

    void set(int x, int y, Colour c, float a = 1.0f)
    {
        uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
        p[0] = uint8_t(std::lround(clamp01(c.r) * 255.0f));
        p[1] = uint8_t(std::lround(clamp01(c.g) * 255.0f));
        p[2] = uint8_t(std::lround(clamp01(c.b) * 255.0f));
        p[3] = uint8_t(std::lround(clamp01(a) * 255.0f));
    }

    bool savePng(const std::filesystem::path& path, bool alpha) const
    {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = png_uint_32(width);
        image.height = png_uint_32(height);
        image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
        std::vector<uint8_t> rgb;
        const uint8_t* data = rgba.data();
        if (!alpha) {
            rgb.reserve(size_t(width) * size_t(height) * 3);
            for (size_t i = 0; i < rgba.size(); i += 4)
                rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
            data = rgb.data();
        }
        int ok = png_image_write_to_file(&image, path.c_str(), 0, data, 0, nullptr);
        if (!ok)
            std::fprintf(stderr, "vp_makeprod: cannot write %s: %s\n", path.c_str(), image.message);
        png_image_free(&image);
        return ok != 0;
    }

    bool saveJpeg(const std::filesystem::path& path, int quality) const
    {
        tjhandle handle = tjInitCompress();
        if (!handle)
            return false;
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        int rc = tjCompress2(handle, rgba.data(), width, 0, height, TJPF_RGBA, &jpeg, &size, TJSAMP_444, quality,
                             TJFLAG_ACCURATEDCT);
        bool ok = rc == 0;
        if (ok) {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ok = f && std::fwrite(jpeg, 1, size, f) == size;
            if (f)
                ok = std::fclose(f) == 0 && ok;
        }
        if (!ok)
            std::fprintf(stderr, "vp_makeprod: cannot write %s\n", path.c_str());
        tjFree(jpeg);
        tjDestroy(handle);
        return ok;
    }
};

// Repeatable value noise, tiling with the given period (in lattice cells).
float lattice(int x, int y, uint32_t seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return float(h & 0xFFFFu) / 65535.0f;
}

float valueNoise(float x, float y, int period, uint32_t seed)
{
    int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    float fx = smooth(x - float(x0)), fy = smooth(y - float(y0));
    auto at = [&](int ix, int iy) {
        return lattice(((ix % period) + period) % period, ((iy % period) + period) % period, seed);
    };
    float a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

// Sum of octaves in 0..1; u, v in 0..1 tile.
float fractal(float u, float v, int baseCells, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 0.5f, total = 0.0f;
    int cells = baseCells;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(u * float(cells), v * float(cells), cells, seed + uint32_t(o)) * weight;
        total += weight;
        weight *= 0.5f;
        cells *= 2;
    }
    return sum / total;
}

// ---------------------------------------------------------------------------
// Textures

// Floor tiles: 8 x 8 slate tiles with bright grout, each tile its own shade.
Picture tilesTexture()
{
    const int n = 256;
    Picture pic(n, n);
    const Colour slate = {0.20f, 0.22f, 0.30f};
    const Colour blue = {0.16f, 0.24f, 0.42f};
    const Colour grout = {0.62f, 0.60f, 0.70f};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float u = float(x) / n, v = float(y) / n;
            int tx = x / 32, ty = y / 32;
            float lx = float(x % 32) + 0.5f, ly = float(y % 32) + 0.5f;
            float edge = std::min(std::min(lx, 32.0f - lx), std::min(ly, 32.0f - ly));
            float tileShade = lattice(tx, ty, 7);
            float grain = fractal(u, v, 8, 4, 11);
            Colour c = mix(slate, blue, tileShade);
            c = scaled(c, 0.8f + 0.4f * grain);
            float g = 1.0f - smooth((edge - 1.0f) / 1.5f);
            pic.set(x, y, mix(c, grout, g * 0.8f));
        }
    }
    return pic;
}

// Fine grain around mid grey-white, for the detail maps (multiplied in).
Picture grainTexture()
{
    const int n = 128;
    Picture pic(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float g = 0.72f + 0.28f * fractal(float(x) / n, float(y) / n, 16, 3, 23);
            pic.set(x, y, {g, g, g});
        }
    return pic;
}

// Crate panels: a warm orange plate with a teal stripe, bevelled rim and rivets.
Picture panelTexture()
{
    const int n = 256;
    Picture pic(n, n);
    const Colour plate = {0.85f, 0.45f, 0.16f};
    const Colour stripe = {0.10f, 0.60f, 0.62f};
    const Colour rim = {0.25f, 0.18f, 0.20f};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float u = (float(x) + 0.5f) / n, v = (float(y) + 0.5f) / n;
            float edge = std::min(std::min(u, 1.0f - u), std::min(v, 1.0f - v));
            float wear = fractal(u, v, 8, 4, 31);
            Colour c = plate;
            if (std::fabs(v - 0.5f) < 0.08f)
                c = stripe;
            c = scaled(c, 0.75f + 0.35f * wear);
            if (edge < 0.07f)
                c = mix(rim, c, smooth(edge / 0.07f) * 0.4f);
            // Rivets in the corners.
            for (float cx : {0.13f, 0.87f})
                for (float cy : {0.13f, 0.87f}) {
                    float d = std::hypot(u - cx, v - cy);
                    if (d < 0.03f)
                        c = mix({0.95f, 0.9f, 0.8f}, rim, d / 0.03f);
                }
            pic.set(x, y, c);
        }
    }
    return pic;
}

// A reflection map: the eye-space normal's x, y spread over the picture.
// A soft bright window up and to the left over a deep coloured sky.
Picture sphereMapTexture(Colour low, Colour high, Colour spot)
{
    const int n = 128;
    Picture pic(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float u = (float(x) + 0.5f) / n, v = (float(y) + 0.5f) / n;
            Colour c = mix(low, high, smooth(1.0f - v));
            float d = std::hypot(u - 0.32f, v - 0.28f);
            c = mix(c, spot, std::exp(-d * d * 40.0f));
            pic.set(x, y, c);
        }
    }
    return pic;
}

// A tangent-space normal map: domed rivets on a grid over gentle waves.
Picture normalTexture()
{
    const int n = 256;
    std::vector<float> height(size_t(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float u = (float(x) + 0.5f) / n, v = (float(y) + 0.5f) / n;
            float h = 0.25f * std::sin(u * 2.0f * kPi * 4.0f) * std::sin(v * 2.0f * kPi * 2.0f);
            float cu = u * 4.0f - std::floor(u * 4.0f) - 0.5f, cv = v * 4.0f - std::floor(v * 4.0f) - 0.5f;
            float d = std::sqrt(cu * cu + cv * cv);
            if (d < 0.3f)
                h += std::sqrt(1.0f - (d / 0.3f) * (d / 0.3f));
            h += 0.15f * fractal(u, v, 16, 2, 41);
            height[size_t(y) * n + size_t(x)] = h;
        }
    Picture pic(n, n);
    const float strength = 6.0f;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            auto h = [&](int ix, int iy) { return height[size_t((iy + n) % n) * n + size_t((ix + n) % n)]; };
            float dx = (h(x + 1, y) - h(x - 1, y)) * strength;
            float dy = (h(x, y + 1) - h(x, y - 1)) * strength;
            float len = std::sqrt(dx * dx + dy * dy + 1.0f);
            pic.set(x, y, {(-dx / len + 1.0f) * 0.5f, (-dy / len + 1.0f) * 0.5f, (1.0f / len + 1.0f) * 0.5f});
        }
    return pic;
}

// Weathered stone, the colour of the bump pieces without a third unit.
Picture stoneTexture()
{
    const int n = 256;
    Picture pic(n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float f = fractal(float(x) / n, float(y) / n, 4, 5, 53);
            pic.set(x, y, mix({0.30f, 0.27f, 0.25f}, {0.72f, 0.66f, 0.58f}, f));
        }
    return pic;
}

bool writeTextures(const std::filesystem::path& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    bool ok = !ec;
    ok = ok && tilesTexture().saveJpeg(dir / "tiles.jpg", 90);
    ok = ok && grainTexture().savePng(dir / "grain.png", false);
    ok = ok && panelTexture().saveJpeg(dir / "panel.jpg", 90);
    ok = ok && sphereMapTexture({0.02f, 0.04f, 0.15f}, {0.15f, 0.35f, 0.55f}, {1.0f, 0.95f, 0.85f})
                   .savePng(dir / "glow.png", false);
    ok = ok && sphereMapTexture({0.25f, 0.10f, 0.02f}, {0.95f, 0.70f, 0.30f}, {1.0f, 1.0f, 0.9f})
                   .savePng(dir / "sheen.png", false);
    ok = ok && normalTexture().savePng(dir / "rivets.png", false);
    ok = ok && stoneTexture().saveJpeg(dir / "stone.jpg", 88);
    if (!ok)
        std::fprintf(stderr, "vp_makeprod: cannot write the scene textures in %s\n", dir.c_str());
    return ok;
}

// ---------------------------------------------------------------------------
// Geometry helpers

Quaternion identity()
{
    return Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
}

// A box with four vertices and the whole texture on each side (a crate), flat.
void addCrate(MeshRecord& m, float size, int32_t material)
{
    const float h = size * 0.5f;
    struct Side {
        Vec3 n, u, v;
    };
    const Side sides[6] = {
        {Vec3(1, 0, 0), Vec3(0, 0, -1), Vec3(0, 1, 0)},  {Vec3(-1, 0, 0), Vec3(0, 0, 1), Vec3(0, 1, 0)},
        {Vec3(0, 1, 0), Vec3(1, 0, 0), Vec3(0, 0, -1)},  {Vec3(0, -1, 0), Vec3(1, 0, 0), Vec3(0, 0, 1)},
        {Vec3(0, 0, 1), Vec3(1, 0, 0), Vec3(0, 1, 0)},   {Vec3(0, 0, -1), Vec3(-1, 0, 0), Vec3(0, 1, 0)},
    };
    int group = 0;
    for (const Side& s : sides) {
        uint32_t base = uint32_t(m.vertices.size());
        const float corner[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& c : corner) {
            m.addVertex(s.n * h + s.u * (c[0] * h) + s.v * (c[1] * h));
            m.addCoord1((c[0] + 1.0f) * 0.5f, (c[1] + 1.0f) * 0.5f);
            m.addCoord2((c[0] + 1.0f) * 0.5f, (c[1] + 1.0f) * 0.5f);
        }
        uint32_t groups = 1u << (++group);
        m.addFace(base, base + 1, base + 2, material, groups);
        m.addFace(base, base + 2, base + 3, material, groups);
    }
}

// A ground grid whose coordinates repeat `repeat` times in the first set
// and `detail` times in the second.
void addGround(MeshRecord& m, float size, int cells, float repeat, float detail, int32_t material)
{
    addGrid(m, size, size, cells, cells, material);
    for (WriterTexCoord& t : m.coords1) {
        t.u *= repeat;
        t.v *= repeat;
    }
    for (WriterTexCoord& t : m.coords2) {
        t.u *= detail;
        t.v *= detail;
    }
}

// A sampled orbit round `centre`: radius, height and turns over `count`
// samples; the last sample meets the first, so looping is seamless.
void addOrbit(SceneWriter& w, int32_t owner, int interval, int count, const Vec3& centre, float radius,
              float height, float bob, float startDegrees, float turns)
{
    w.addSampledMotion(owner, interval, count, [=](int i, Vec3& p, Quaternion& q) {
        float t = float(i) / float(count - 1);
        float a = (startDegrees / 180.0f) * kPi + t * turns * 2.0f * kPi;
        p = Vec3(centre.x + std::sin(a) * radius, centre.y + height + std::sin(t * 2.0f * kPi) * bob,
                 centre.z + std::cos(a) * radius);
        q = identity();
    });
}

// Samples every 2 scene-time units (200 ms at the default speed).
constexpr int kInterval = 2;

// ---------------------------------------------------------------------------
// hall.vsc: the opening. A long hall of lit pillars on a tiled floor, crates
// floating down the middle, lamps with flares on every other pillar, a warm
// key light and a cold flickering one at the far end. Camera01 flies down the
// hall in 20 s; Camera02 looks along it from high up; Camera03 is low.

bool writeHall(const std::filesystem::path& path)
{
    SceneWriter w;
    // Ids: materials 1-9, meshes 100+, dummies 200+, cameras 300+, lights 400+, flares 500+.
    w.addDummy(200, "Focus"); // what the cameras look at; first, so target 0 is it too
    MaterialRecord& floor = w.addMaterial(1, "Floor");
    floor.diffuseMap = "tiles.jpg";
    floor.detailMap = "grain.png";
    MaterialRecord& pillar = w.addMaterial(2, "Pillar");
    pillar.ambient = Vec3(0.25f, 0.18f, 0.35f);
    pillar.diffuse = Vec3(0.55f, 0.45f, 0.80f);
    pillar.specular = Vec3(1.0f, 0.9f, 0.8f);
    pillar.glossiness = 0.5f;
    pillar.specularLevel = 0.6f;
    MaterialRecord& cap = w.addMaterial(3, "Cap");
    cap.ambient = Vec3(0.3f, 0.2f, 0.1f);
    cap.diffuse = Vec3(0.95f, 0.70f, 0.35f);
    MaterialRecord& crate = w.addMaterial(4, "Crate");
    crate.diffuseMap = "panel.jpg";
    crate.diffuse = Vec3(1, 1, 1);
    crate.ambient = Vec3(0.5f, 0.5f, 0.5f);

    addGround(w.addMesh(100, "Floor"), 480.0f, 12, 2.0f, 16.0f, 1);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 6; ++i) {
            int n = side * 6 + i;
            char name[32];
            std::snprintf(name, sizeof name, "Pillar%02d", n + 1);
            MeshRecord& p = w.addMesh(101 + n, name);
            p.position = Vec3(side ? 45.0f : -45.0f, 40.0f, 150.0f - float(i) * 60.0f);
            addBox(p, Vec3(14, 80, 14), 2);
            std::snprintf(name, sizeof name, "Cap%02d", n + 1);
            MeshRecord& c = w.addMesh(121 + n, name, 101 + n);
            c.position = Vec3(0, 44, 0);
            addBox(c, Vec3(20, 8, 20), 3);
        }
    }
    // Crates hang over the middle of the hall; the script spins them.
    for (int i = 0; i < 4; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Crate%02d", i + 1);
        MeshRecord& c = w.addMesh(140 + i, name);
        c.position = Vec3(i % 2 ? 24.0f : -24.0f, 30.0f + float(i % 2) * 12.0f, 110.0f - float(i) * 70.0f);
        c.rotation = axisAngle(Vec3(0.3f, 1, 0.2f), float(i) * 0.7f);
        addCrate(c, 16.0f, 4);
    }

    w.addCamera(300, "Camera01", Vec3(0, 30, 260), 50.0f, 200);
    w.addCamera(301, "Camera02", Vec3(-30, 150, 260), 40.0f, 200);
    w.addCamera(302, "Camera03", Vec3(20, 8, -220), 60.0f, 200);
    LightRecord& key = w.addLight(400, "Omni01", Vec3(60, 120, 220), Vec3(1.0f, 0.85f, 0.65f));
    key.range = 0.0f;
    LightRecord& cold = w.addLight(401, "Flicker01", Vec3(0, 50, -160), Vec3(0.5f, 0.8f, 1.0f));
    cold.range = 500.0f;
    for (int i = 0; i < 6; i += 2) {
        char name[32];
        std::snprintf(name, sizeof name, "Lamp%02d", i + 1);
        w.addFlare(500 + i, name, Vec3(-45.0f, 92.0f, 150.0f - float(i) * 60.0f));
        std::snprintf(name, sizeof name, "Lamp%02d", i + 7);
        w.addFlare(506 + i, name, Vec3(45.0f, 92.0f, 150.0f - float(i) * 60.0f));
    }

    // Camera01: down the hall and up, 100 samples (20 s); the focus runs ahead.
    const int count = 100;
    w.addSampledMotion(300, kInterval, count, [](int i, Vec3& p, Quaternion& q) {
        float t = smooth(float(i) / float(count - 1));
        p = Vec3(std::sin(t * kPi) * 8.0f, 20.0f + t * 50.0f, 260.0f - t * 380.0f);
        q = identity();
    });
    w.addSampledMotion(200, kInterval, count, [](int i, Vec3& p, Quaternion& q) {
        float t = smooth(float(i) / float(count - 1));
        p = Vec3(-std::sin(t * kPi) * 10.0f, 30.0f - t * 10.0f, 60.0f - t * 300.0f);
        q = identity();
    });
    return saveScene(w, path);
}

// ---------------------------------------------------------------------------
// swarm.vsc: a glowing ring (mode 4) over a detail-mapped ground, the path
// swarm chasing a loop round it. Camera01 orbits once in 24 s.

bool writeSwarm(const std::filesystem::path& path)
{
    SceneWriter w;
    w.addDummy(200, "Centre");
    MaterialRecord& ground = w.addMaterial(1, "Ground");
    ground.diffuseMap = "stone.jpg";
    ground.detailMap = "grain.png";
    MaterialRecord& ring = w.addMaterial(2, "Ring");
    ring.diffuseMap = "panel.jpg";
    ring.secondMap = "glow.png";
    MaterialRecord& core = w.addMaterial(3, "Core");
    core.ambient = Vec3(0.4f, 0.1f, 0.1f);
    core.diffuse = Vec3(1.0f, 0.35f, 0.2f);
    core.specular = Vec3(1, 1, 1);
    core.glossiness = 0.7f;
    core.specularLevel = 1.0f;

    MeshRecord& g = w.addMesh(100, "Ground");
    g.position = Vec3(0, -40, 0);
    addGround(g, 600.0f, 10, 4.0f, 20.0f, 1);
    MeshRecord& r = w.addMesh(101, "Ring");
    r.position = Vec3(0, 20, 0);
    r.rotation = axisAngle(Vec3(1, 0, 0), 1.2f);
    addTorus(r, 45.0f, 7.0f, 40, 12, 2);
    MeshRecord& inner = w.addMesh(102, "InnerRing", 101);
    addTorus(inner, 28.0f, 4.0f, 32, 10, 2);
    MeshRecord& c = w.addMesh(103, "Core");
    c.position = Vec3(0, 20, 0);
    addSphere(c, 14.0f, 24, 16, 3);

    // The swarm's path: a tilted loop of ten points round the ring.
    MeshRecord& loop = w.addMesh(110, "Swarm01");
    for (int i = 0; i < 10; ++i) {
        float a = float(i) / 10.0f * 2.0f * kPi;
        loop.addVertex(Vec3(std::cos(a) * 110.0f, 30.0f + std::sin(a * 2.0f) * 40.0f, std::sin(a) * 110.0f));
    }

    w.addCamera(300, "Camera01", Vec3(0, 60, 260), 50.0f, 200);
    w.addCamera(301, "Camera02", Vec3(0, 280, 40), 55.0f, 200);
    w.addLight(400, "Omni01", Vec3(-120, 160, 160), Vec3(1.0f, 0.9f, 0.8f));
    w.addLight(401, "Omni02", Vec3(140, 40, -120), Vec3(0.3f, 0.5f, 1.0f));
    w.addFlare(500, "Spark", Vec3(0, 20, 0));
    addOrbit(w, 300, kInterval, 121, Vec3(0, 0, 0), 240.0f, 70.0f, 40.0f, 0.0f, 1.0f);
    return saveScene(w, path);
}

// ---------------------------------------------------------------------------
// chrome.vsc: a mirror ball (mode 10, drawn first) and a chrome ring (mode 11
// with an added tint) in a ring of coloured blocks and crates on tiles.

bool writeChrome(const std::filesystem::path& path)
{
    SceneWriter w;
    w.addDummy(200, "Centre");
    MaterialRecord& mirror = w.addMaterial(1, "Mirror");
    mirror.environment = true;
    MaterialRecord& chrome = w.addMaterial(2, "Chrome");
    chrome.environment = true;
    chrome.secondMap = "glow.png";
    MaterialRecord& floor = w.addMaterial(3, "Floor");
    floor.diffuseMap = "tiles.jpg";
    floor.detailMap = "grain.png";
    MaterialRecord& crate = w.addMaterial(4, "Crate");
    crate.diffuseMap = "panel.jpg";
    crate.ambient = Vec3(0.5f, 0.5f, 0.5f);
    crate.diffuse = Vec3(1, 1, 1);
    const Vec3 colours[4] = {Vec3(0.9f, 0.2f, 0.3f), Vec3(0.2f, 0.8f, 0.4f), Vec3(0.2f, 0.4f, 1.0f),
                             Vec3(1.0f, 0.8f, 0.2f)};
    for (int i = 0; i < 4; ++i) {
        MaterialRecord& m = w.addMaterial(5 + i, "Paint");
        m.diffuse = colours[i];
        m.ambient = colours[i] * 0.4f;
        m.specular = Vec3(1, 1, 1);
        m.glossiness = 0.6f;
        m.specularLevel = 0.8f;
    }

    MeshRecord& ball = w.addMesh(100, "MirrorBall");
    ball.position = Vec3(0, 30, 0);
    addSphere(ball, 26.0f, 32, 20, 1);
    MeshRecord& ring = w.addMesh(101, "ChromeRing");
    ring.position = Vec3(0, 30, 0);
    addTorus(ring, 52.0f, 6.0f, 48, 12, 2);
    MeshRecord& f = w.addMesh(102, "Floor");
    f.position = Vec3(0, -20, 0);
    addGround(f, 500.0f, 10, 5.0f, 20.0f, 3);
    for (int i = 0; i < 8; ++i) {
        float a = float(i) / 8.0f * 2.0f * kPi;
        char name[32];
        std::snprintf(name, sizeof name, "Block%02d", i + 1);
        MeshRecord& b = w.addMesh(110 + i, name);
        b.position = Vec3(std::sin(a) * 115.0f, 15.0f, std::cos(a) * 115.0f);
        b.rotation = axisAngle(Vec3(0, 1, 0), a);
        if (i % 2)
            addCrate(b, 30.0f, 4);
        else
            addBox(b, Vec3(24, 70, 24), 5 + (i / 2) % 4);
    }

    w.addCamera(300, "Camera01", Vec3(0, 40, 200), 50.0f, 200);
    w.addCamera(301, "Camera02", Vec3(60, 25, 60), 65.0f, 200);
    w.addLight(400, "Omni01", Vec3(100, 150, 150), Vec3(1.0f, 0.95f, 0.9f));
    w.addLight(401, "Omni02", Vec3(-150, 60, -100), Vec3(0.6f, 0.3f, 0.9f));
    for (int i = 0; i < 4; ++i) {
        float a = (float(i) + 0.5f) / 4.0f * 2.0f * kPi;
        char name[32];
        std::snprintf(name, sizeof name, "Star%02d", i + 1);
        w.addFlare(500 + i, name, Vec3(std::sin(a) * 130.0f, 70.0f, std::cos(a) * 130.0f));
    }
    addOrbit(w, 300, kInterval, 121, Vec3(0, 0, 0), 240.0f, 60.0f, 25.0f, 20.0f, -1.0f);
    // The focus bobs with the ball's height.
    w.addSampledMotion(200, kInterval, 121, [](int i, Vec3& p, Quaternion& q) {
        p = Vec3(0, 25.0f + std::sin(float(i) / 120.0f * 4.0f * kPi) * 6.0f, 0);
        q = identity();
    });
    return saveScene(w, path);
}

// ---------------------------------------------------------------------------
// toon.vsc: a floor (first, so it keeps its texture) and then the figures,
// which the script turns to ramp shading with signal 230 on Figure01 (the
// mode reaches every later sibling too).

bool writeToon(const std::filesystem::path& path)
{
    SceneWriter w;
    w.addDummy(200, "Centre");
    MaterialRecord& floor = w.addMaterial(1, "Floor");
    floor.diffuseMap = "panel.jpg";
    floor.diffuse = Vec3(1, 1, 1);
    floor.ambient = Vec3(0.6f, 0.6f, 0.6f);
    MaterialRecord& body = w.addMaterial(2, "Body");
    body.diffuse = Vec3(0.9f, 0.6f, 0.5f);

    MeshRecord& f = w.addMesh(100, "Floor");
    f.position = Vec3(0, -10, 0);
    addGround(f, 400.0f, 8, 8.0f, 8.0f, 1);
    for (int i = 0; i < 5; ++i) {
        float a = float(i) / 5.0f * 2.0f * kPi;
        char name[32];
        std::snprintf(name, sizeof name, "Figure%02d", i + 1);
        MeshRecord& base = w.addMesh(101 + i * 3, name);
        base.position = Vec3(std::sin(a) * 70.0f, 8.0f, std::cos(a) * 70.0f);
        addSphere(base, 18.0f, 24, 16, 2);
        std::snprintf(name, sizeof name, "Head%02d", i + 1);
        MeshRecord& head = w.addMesh(102 + i * 3, name, 101 + i * 3);
        head.position = Vec3(0, 26, 0);
        addSphere(head, 11.0f, 20, 12, 2);
        std::snprintf(name, sizeof name, "Halo%02d", i + 1);
        MeshRecord& halo = w.addMesh(103 + i * 3, name, 102 + i * 3);
        halo.position = Vec3(0, 16, 0);
        addTorus(halo, 10.0f, 2.5f, 24, 8, 2);
    }
    MeshRecord& centre = w.addMesh(130, "Knot");
    centre.position = Vec3(0, 30, 0);
    addTorus(centre, 24.0f, 9.0f, 40, 16, 2);

    w.addCamera(300, "Camera01", Vec3(0, 90, 220), 45.0f, 200);
    w.addCamera(301, "Camera02", Vec3(0, 260, 20), 50.0f, 200);
    w.addLight(400, "Omni01", Vec3(80, 200, 150), Vec3(1, 1, 1));
    addOrbit(w, 300, kInterval, 121, Vec3(0, 0, 0), 200.0f, 80.0f, 30.0f, 0.0f, 0.5f);
    return saveScene(w, path);
}

// ---------------------------------------------------------------------------
// relief.vsc: DOT3 bump mapping. A riveted wall and pillars in mode 7 (bump
// and a warm reflection map) and stone blocks in mode 6, under a light that
// circles in front of them: the bumps follow the light.

bool writeRelief(const std::filesystem::path& path)
{
    SceneWriter w;
    w.addDummy(200, "Centre");
    MaterialRecord& plate = w.addMaterial(1, "Plate");
    plate.secondMap = "sheen.png";
    plate.bumpMap = "rivets.png";
    MaterialRecord& stone = w.addMaterial(2, "Stone");
    stone.diffuseMap = "stone.jpg";
    stone.bumpMap = "rivets.png";

    MeshRecord& wall = w.addMesh(100, "Wall");
    wall.position = Vec3(0, 40, -40);
    // The engine hands a rotation to GL as stored, which turns the other
    // way round: -90 degrees about x stands the floor-like grid up facing +z.
    wall.rotation = axisAngle(Vec3(1, 0, 0), -kPi * 0.5f);
    addGround(wall, 260.0f, 8, 3.0f, 3.0f, 1);
    for (int i = 0; i < 3; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Column%02d", i + 1);
        MeshRecord& c = w.addMesh(101 + i, name);
        c.position = Vec3(-80.0f + float(i) * 80.0f, 40.0f, 10.0f);
        addCrate(c, 36.0f, i == 1 ? 1 : 2);
    }
    MeshRecord& orb = w.addMesh(110, "Orb");
    orb.position = Vec3(0, 95, 20);
    addSphere(orb, 20.0f, 32, 20, 1);

    w.addCamera(300, "Camera01", Vec3(0, 60, 230), 50.0f, 200);
    w.addCamera(301, "Camera02", Vec3(-60, 50, 200), 45.0f, 200);
    // The light that the bump modes follow: the scene's first light.
    w.addLight(400, "Omni01", Vec3(0, 80, 120), Vec3(1.0f, 0.95f, 0.85f));
    w.addFlare(500, "Bulb", Vec3(0, 80, 120));
    addOrbit(w, 400, kInterval, 121, Vec3(0, 40, 90), 80.0f, 30.0f, 30.0f, 0.0f, 2.0f);
    addOrbit(w, 500, kInterval, 121, Vec3(0, 40, 90), 80.0f, 30.0f, 30.0f, 0.0f, 2.0f);
    w.addSampledMotion(300, kInterval, 121, [](int i, Vec3& p, Quaternion& q) {
        float t = float(i) / 120.0f;
        p = Vec3(std::sin(t * 2.0f * kPi) * 60.0f, 60.0f + std::sin(t * 4.0f * kPi) * 15.0f, 230.0f - t * 40.0f);
        q = identity();
    });
    return saveScene(w, path);
}

} // namespace

bool writeProductionScenes(const std::string& dataDir)
{
    std::filesystem::path data = dataDir;
    bool ok = writeTextures(data / "textures");
    ok = ok && writeHall(data / "hall.vsc");
    ok = ok && writeSwarm(data / "swarm.vsc");
    ok = ok && writeChrome(data / "chrome.vsc");
    ok = ok && writeToon(data / "toon.vsc");
    ok = ok && writeRelief(data / "relief.vsc");
    ok = ok && writeShadowScenes(dataDir);
    return ok;
}
