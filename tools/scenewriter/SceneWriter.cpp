#include "tools/scenewriter/SceneWriter.h"

#include "scene/SceneFormat.h"
#include "tools/scenewriter/ByteWriter.h"

#include <cstdio>
#include <set>

using namespace sceneformat;

MeshRecord& SceneWriter::addMesh(int32_t id, const char* name, int32_t parentId)
{
    MeshRecord& r = meshes.emplace_back();
    r.id = id;
    r.name = name;
    r.parentId = parentId;
    order.push_back({Kind::Mesh, meshes.size() - 1});
    return r;
}

DummyRecord& SceneWriter::addDummy(int32_t id, const char* name, int32_t parentId)
{
    DummyRecord& r = dummies.emplace_back();
    r.id = id;
    r.name = name;
    r.parentId = parentId;
    order.push_back({Kind::Dummy, dummies.size() - 1});
    return r;
}

CameraRecord& SceneWriter::addCamera(int32_t id, const char* name, const Vec3& position, float fieldOfView,
                                     int32_t targetId)
{
    CameraRecord& r = cameras.emplace_back();
    r.id = id;
    r.name = name;
    r.position = position;
    r.fieldOfView = fieldOfView;
    r.targetId = targetId;
    order.push_back({Kind::Camera, cameras.size() - 1});
    return r;
}

LightRecord& SceneWriter::addLight(int32_t id, const char* name, const Vec3& position, const Vec3& colour)
{
    LightRecord& r = lights.emplace_back();
    r.id = id;
    r.name = name;
    r.position = position;
    r.colour = colour;
    order.push_back({Kind::Light, lights.size() - 1});
    return r;
}

MarkerRecord& SceneWriter::addMarker(int32_t id, const char* name, const Vec3& position)
{
    MarkerRecord& r = markers.emplace_back();
    r.id = id;
    r.name = name;
    r.position = position;
    order.push_back({Kind::Marker, markers.size() - 1});
    return r;
}

MarkerRecord& SceneWriter::addFlare(int32_t id, const char* name, const Vec3& position)
{
    MarkerRecord& r = flares.emplace_back();
    r.id = id;
    r.name = name;
    r.position = position;
    order.push_back({Kind::Flare, flares.size() - 1});
    return r;
}

MaterialRecord& SceneWriter::addMaterial(int32_t id, const char* name)
{
    MaterialRecord& r = materials.emplace_back();
    r.id = id;
    r.name = name;
    order.push_back({Kind::Material, materials.size() - 1});
    return r;
}

ControllerRecord& SceneWriter::addController(const ControllerRecord& record)
{
    controllers.push_back(record);
    order.push_back({Kind::Controller, controllers.size() - 1});
    return controllers.back();
}

ControllerRecord& SceneWriter::addSamples(int32_t ownerId, int32_t interval)
{
    ControllerRecord r;
    r.ownerId = ownerId;
    r.controllerClass = kClassSampled;
    r.kind = kKindPositionRotation;
    r.interval = interval;
    return addController(r);
}

ControllerRecord& SceneWriter::addSampledMotion(int32_t ownerId, int32_t interval, int count,
                                               const std::function<void(int, Vec3&, Quaternion&)>& pose)
{
    ControllerRecord& r = addSamples(ownerId, interval);
    for (int i = 0; i < count; ++i) {
        Vec3 position;
        Quaternion rotation(0.0f, 0.0f, 0.0f, 1.0f);
        pose(i, position, rotation);
        r.addSample(position, rotation);
    }
    return r;
}

ControllerRecord& SceneWriter::addPositionKeys(int32_t ownerId)
{
    ControllerRecord r;
    r.ownerId = ownerId;
    r.controllerClass = kClassKeyed;
    r.kind = kKindPositionKeys;
    r.interval = 0;
    return addController(r);
}

ControllerRecord& SceneWriter::addRotationKeys(int32_t ownerId)
{
    ControllerRecord r;
    r.ownerId = ownerId;
    r.controllerClass = kClassKeyed;
    r.kind = kKindRotationKeys;
    r.interval = 0;
    return addController(r);
}

void SceneWriter::addRawChunk(uint32_t type, const std::vector<unsigned char>& payload)
{
    raw.push_back({type, payload});
    order.push_back({Kind::Raw, raw.size() - 1});
}

void SceneWriter::setHeader(uint32_t newMagic, uint32_t newVersion)
{
    magic = newMagic;
    version = newVersion;
}

std::string SceneWriter::check() const
{
    std::string problems;
    auto problem = [&problems](const char* format, long a, long b = 0, long c = 0) {
        char line[160];
        std::snprintf(line, sizeof line, format, a, b, c);
        problems += line;
        problems += '\n';
    };

    std::set<int32_t> materialIds;
    for (const MaterialRecord& m : materials)
        materialIds.insert(m.id);

    // Ids the reader can find at each point of the file: objects, lights,
    // cameras and flares read so far.
    std::set<int32_t> known;
    bool anyObject = false;
    for (const Entry& e : order) {
        switch (e.kind) {
        case Kind::Mesh: {
            const MeshRecord& m = meshes[e.index];
            if (m.parentId != 0 && !known.count(m.parentId))
                problem("mesh %ld comes before its parent %ld", m.id, m.parentId);
            for (size_t i = 0; i < m.faces.size(); ++i) {
                const WriterFace& f = m.faces[i];
                for (int c = 0; c < 3; ++c) {
                    if (f.vertex[c] >= m.vertices.size())
                        problem("mesh %ld face %ld: vertex index %ld out of range", m.id, long(i), long(f.vertex[c]));
                    if (!m.coords1.empty() && f.coord1[c] >= m.coords1.size())
                        problem("mesh %ld face %ld: first coordinate index %ld out of range", m.id, long(i),
                                long(f.coord1[c]));
                    if (!m.coords2.empty() && f.coord2[c] >= m.coords2.size())
                        problem("mesh %ld face %ld: second coordinate index %ld out of range", m.id, long(i),
                                long(f.coord2[c]));
                }
                int32_t material = f.materialId == -1 ? 0 : f.materialId;
                if (!materialIds.count(material))
                    problem("mesh %ld face %ld: no material %ld", m.id, long(i), material);
            }
            known.insert(m.id);
            anyObject = true;
            break;
        }
        case Kind::Dummy: {
            const DummyRecord& d = dummies[e.index];
            if (d.parentId != 0 && !known.count(d.parentId))
                problem("dummy %ld comes before its parent %ld", d.id, d.parentId);
            known.insert(d.id);
            anyObject = true;
            break;
        }
        case Kind::Camera: known.insert(cameras[e.index].id); break;
        case Kind::Light: known.insert(lights[e.index].id); break;
        case Kind::Marker:
            known.insert(markers[e.index].id);
            anyObject = true;
            break;
        case Kind::Flare: known.insert(flares[e.index].id); break;
        case Kind::Controller: {
            const ControllerRecord& c = controllers[e.index];
            bool found = c.ownerId == 0 ? anyObject : known.count(c.ownerId) > 0;
            if (!found)
                problem("controller of object %ld comes before its owner", c.ownerId);
            break;
        }
        case Kind::Material:
        case Kind::Raw: break;
        }
    }
    return problems;
}

std::vector<unsigned char> SceneWriter::toBytes() const
{
    std::vector<unsigned char> out;
    ByteWriter w(out);
    w.u32(magic);
    w.u32(version);

    std::vector<unsigned char> payload;
    for (const Entry& e : order) {
        payload.clear();
        uint32_t type = 0;
        switch (e.kind) {
        case Kind::Mesh: encodeMesh(meshes[e.index], payload); type = kChunkMesh; break;
        case Kind::Dummy: encodeDummy(dummies[e.index], payload); type = kChunkDummy; break;
        case Kind::Camera: encodeCamera(cameras[e.index], payload); type = kChunkCamera; break;
        case Kind::Light: encodeLight(lights[e.index], payload); type = kChunkLight; break;
        case Kind::Marker: encodeMarker(markers[e.index], payload); type = kChunkMarker; break;
        case Kind::Flare: encodeMarker(flares[e.index], payload); type = kChunkFlare; break;
        case Kind::Material: encodeMaterial(materials[e.index], payload); type = kChunkMaterial; break;
        case Kind::Controller: encodeController(controllers[e.index], payload); type = kChunkController; break;
        case Kind::Raw:
            payload = raw[e.index].payload;
            type = raw[e.index].type;
            break;
        }
        appendChunk(type, payload, out);
    }
    if (writeEnd)
        appendChunk(kChunkEnd, endPayload, out);
    return out;
}

bool SceneWriter::writeFile(const char* path) const
{
    std::vector<unsigned char> bytes = toBytes();
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
