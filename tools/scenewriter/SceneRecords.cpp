#include "tools/scenewriter/SceneRecords.h"

#include "scene/SceneFormat.h"
#include "tools/scenewriter/ByteWriter.h"

#include <cassert>
#include <cmath>

using namespace sceneformat;

uint32_t MeshRecord::addVertex(const Vec3& p)
{
    vertices.push_back(p);
    return uint32_t(vertices.size() - 1);
}

uint32_t MeshRecord::addCoord1(float u, float v)
{
    coords1.push_back({u, v});
    return uint32_t(coords1.size() - 1);
}

uint32_t MeshRecord::addCoord2(float u, float v)
{
    coords2.push_back({u, v});
    return uint32_t(coords2.size() - 1);
}

WriterFace& MeshRecord::addFace(uint32_t a, uint32_t b, uint32_t c, int32_t materialId, uint32_t smoothingGroups)
{
    WriterFace f;
    uint32_t corners[3] = {a, b, c};
    for (int i = 0; i < 3; ++i)
        f.vertex[i] = f.coord1[i] = f.coord2[i] = corners[i];
    f.materialId = materialId;
    f.smoothingGroups = smoothingGroups;
    faces.push_back(f);
    return faces.back();
}

void ControllerRecord::addSample(const Vec3& position, const Quaternion& rotation)
{
    positions.push_back(position);
    rotations.push_back(rotation);
}

uint32_t ControllerRecord::count() const
{
    if (countOverride)
        return countOverride;
    if (controllerClass == kClassSampled && kind == kKindPositionRotation)
        return uint32_t(positions.size());
    if (controllerClass == kClassKeyed && kind == kKindPositionKeys)
        return uint32_t(positionKeys.size());
    if (controllerClass == kClassKeyed && kind == kKindRotationKeys)
        return uint32_t(rotationKeys.size());
    return 0;
}

// ---------------------------------------------------------------------------
// Encoding, in the field order of the reader

void encodeMesh(const MeshRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    size_t start = w.size();
    w.i32(r.id);
    w.i32(r.parentId);
    w.text(r.name, kNameSize);
    w.u32(uint32_t(r.vertices.size()));
    w.u32(uint32_t(r.coords1.size()));
    w.u32(uint32_t(r.coords2.size()));
    w.u32(uint32_t(r.faces.size()));
    w.vec3(r.position);
    w.quaternion(r.rotation);
    w.vec3(r.scale);
    w.zeros(12);
    assert(w.size() - start == size_t(kMeshRecordSize));
    (void)start;

    for (const Vec3& v : r.vertices)
        w.vec3(v);
    for (const WriterTexCoord& t : r.coords1) {
        w.f32(t.u);
        w.f32(t.v);
    }
    for (const WriterTexCoord& t : r.coords2) {
        w.f32(t.u);
        w.f32(t.v);
    }
    for (const WriterFace& f : r.faces) {
        for (uint32_t i : f.vertex)
            w.u32(i);
        for (uint32_t i : f.coord1)
            w.u32(i);
        for (uint32_t i : f.coord2)
            w.u32(i);
        w.i32(f.materialId);
        w.u32(f.smoothingGroups);
    }
}

void encodeDummy(const DummyRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    w.i32(r.id);
    w.i32(r.parentId);
    w.text(r.name, kNameSize);
    w.vec3(r.position);
    w.quaternion(r.rotation);
    w.vec3(r.scale);
}

void encodeCamera(const CameraRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    w.i32(r.id);
    w.text(r.name, kNameSize);
    w.vec3(r.position);
    w.f32(r.fieldOfView);
    w.i32(r.targetId);
}

void encodeMarker(const MarkerRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    w.i32(r.id);
    w.text(r.name, kNameSize);
    w.vec3(r.position);
}

void encodeLight(const LightRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    w.i32(r.id);
    w.text(r.name, kNameSize);
    w.vec3(r.position);
    w.vec3(r.colour);
    w.f32(r.range);
    w.i32(r.targetId);
    w.f32(r.spotExponent);
    w.f32(r.spotCutoff);
    w.text(r.projectedTexture, kTextureNameSize);
}

void encodeMaterial(const MaterialRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    size_t start = w.size();
    w.i32(r.id);
    w.text(r.name, kNameSize);
    w.vec3(r.ambient);
    w.vec3(r.diffuse);
    w.vec3(r.specular);
    w.f32(r.glossiness);
    w.f32(r.specularLevel);
    w.f32(r.opacity);
    w.u8(r.twoSided ? 1 : 0);
    w.text(r.diffuseMap, kTextureNameSize);
    w.text(r.secondMap, kTextureNameSize);
    w.text(r.additiveMap, kTextureNameSize);
    w.text(r.bumpMap, kTextureNameSize);
    w.text(r.opacityMap, kTextureNameSize);
    w.text(r.detailMap, kTextureNameSize);
    w.u8(r.environment ? 1 : 0);
    w.zeros(2);
    assert(w.size() - start == size_t(kMaterialRecordSize));
    (void)start;
}

void encodeController(const ControllerRecord& r, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    w.u32(0);
    w.i32(r.ownerId);
    w.u32(r.kind);
    w.u32(r.controllerClass);
    w.u32(0);
    w.u32(r.count());
    w.i32(r.interval);

    if (r.controllerClass == kClassSampled && r.kind == kKindPositionRotation) {
        assert(r.positions.size() == r.rotations.size());
        for (size_t i = 0; i < r.positions.size(); ++i) {
            w.vec3(r.positions[i]);
            w.quaternion(r.rotations[i]);
        }
    } else if (r.controllerClass == kClassKeyed && r.kind == kKindPositionKeys) {
        for (const PositionKeyRecord& k : r.positionKeys) {
            w.i32(k.frame);
            w.vec3(k.position);
            w.f32(k.tension);
            w.f32(k.continuity);
            w.f32(k.bias);
            w.f32(k.extra[0]);
            w.f32(k.extra[1]);
        }
    } else if (r.controllerClass == kClassKeyed && r.kind == kKindRotationKeys) {
        for (const RotationKeyRecord& k : r.rotationKeys) {
            w.i32(k.frame);
            for (float f : k.value)
                w.f32(f);
        }
    }
    w.bytes(r.extra);
}

void appendChunk(uint32_t type, const std::vector<unsigned char>& payload, std::vector<unsigned char>& out)
{
    ByteWriter w(out);
    w.u32(type);
    w.u32(uint32_t(payload.size()));
    w.bytes(payload);
}

Quaternion axisAngle(Vec3 axis, float radians)
{
    axis.normalise();
    float s = std::sin(radians * 0.5f);
    return Quaternion(axis.x * s, axis.y * s, axis.z * s, std::cos(radians * 0.5f));
}
