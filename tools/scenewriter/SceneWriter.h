#pragma once
// Builds a scene in memory and writes it in the engine's binary scene format,
// exactly as SceneReader reads it. The chunks are written in the order the
// records were added, then the end chunk; the reader needs a parent before its
// children and an object before its controllers (check() says when the order
// breaks that), while cameras and lights may name targets defined later.
//
//     SceneWriter w;
//     MaterialRecord& wood = w.addMaterial(1, "wood");
//     wood.diffuseMap = "wood.jpg";
//     MeshRecord& box = w.addMesh(10, "Box01");
//     addBox(box, Vec3(20, 20, 20), 1);
//     w.addCamera(20, "Camera01", Vec3(0, 50, 200), 45.0f, 10);
//     w.addSamples(10, 1).addSample(...);
//     w.writeFile("data/box.vsc");
//
// Records are returned by reference and stay valid while the writer lives.

#include "tools/scenewriter/SceneRecords.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class SceneWriter {
public:
    MeshRecord& addMesh(int32_t id, const char* name, int32_t parentId = 0);
    DummyRecord& addDummy(int32_t id, const char* name, int32_t parentId = 0);
    CameraRecord& addCamera(int32_t id, const char* name, const Vec3& position, float fieldOfView, int32_t targetId);
    LightRecord& addLight(int32_t id, const char* name, const Vec3& position, const Vec3& colour);
    MarkerRecord& addMarker(int32_t id, const char* name, const Vec3& position);
    MarkerRecord& addFlare(int32_t id, const char* name, const Vec3& position);
    MaterialRecord& addMaterial(int32_t id, const char* name);
    // A sampled position-and-rotation controller; add the samples to it.
    ControllerRecord& addSamples(int32_t ownerId, int32_t interval);
    // Samples `count` poses of an object, one every `interval` scene-time
    // units: `pose` gets the sample number and fills the position and rotation.
    ControllerRecord& addSampledMotion(int32_t ownerId, int32_t interval, int count,
                                       const std::function<void(int, Vec3&, Quaternion&)>& pose);
    ControllerRecord& addPositionKeys(int32_t ownerId);
    ControllerRecord& addRotationKeys(int32_t ownerId);
    // Any controller, as given.
    ControllerRecord& addController(const ControllerRecord& record);
    // A chunk of any type with any payload, written as given.
    void addRawChunk(uint32_t type, const std::vector<unsigned char>& payload);

    // Header and end chunk, for writing broken files on purpose.
    void setHeader(uint32_t magic, uint32_t version);
    void setEndPayload(const std::vector<unsigned char>& payload) { endPayload = payload; }
    void setWriteEndChunk(bool on) { writeEnd = on; }

    // Problems the reader would stop at (a child before its parent, a
    // controller before its owner, a face index out of range, a face material
    // that no material defines), one per line; empty when there are none.
    std::string check() const;

    std::vector<unsigned char> toBytes() const;
    // Writes the file, replacing it. False when it cannot be written.
    bool writeFile(const char* path) const;

private:
    enum class Kind { Mesh, Dummy, Camera, Light, Marker, Flare, Material, Controller, Raw };
    struct Entry {
        Kind kind;
        size_t index; // into the deque of its kind
    };
    struct RawChunk {
        uint32_t type;
        std::vector<unsigned char> payload;
    };

    std::vector<Entry> order;
    std::deque<MeshRecord> meshes;
    std::deque<DummyRecord> dummies;
    std::deque<CameraRecord> cameras;
    std::deque<LightRecord> lights;
    std::deque<MarkerRecord> markers;
    std::deque<MarkerRecord> flares;
    std::deque<MaterialRecord> materials;
    std::deque<ControllerRecord> controllers;
    std::deque<RawChunk> raw;

    uint32_t magic = 0;
    uint32_t version = 1;
    std::vector<unsigned char> endPayload;
    bool writeEnd = true;
};
