#pragma once
// The records of a scene file as the writer builds them, and their encoding
// into chunks. Field meanings and units are those of scene/SceneFormat.h;
// values are written exactly as given (texture v coordinates included: the
// reader negates v on its side).

#include "math/Quaternion.h"
#include "math/Vec3.h"

#include <cstdint>
#include <string>
#include <vector>

struct WriterTexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

struct WriterFace {
    uint32_t vertex[3] = {0, 0, 0};
    uint32_t coord1[3] = {0, 0, 0};  // into the first coordinate set
    uint32_t coord2[3] = {0, 0, 0};  // into the second coordinate set
    int32_t materialId = -1;         // -1: none (read as material 0)
    uint32_t smoothingGroups = 1;    // bit k = group k
};

struct MeshRecord {
    int32_t id = 0;
    int32_t parentId = 0;            // 0: top level
    std::string name;
    Vec3 position;
    Quaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    Vec3 scale{1.0f, 1.0f, 1.0f};
    std::vector<Vec3> vertices;
    std::vector<WriterTexCoord> coords1;
    std::vector<WriterTexCoord> coords2;
    std::vector<WriterFace> faces;   // none: the reader makes a path swarm

    uint32_t addVertex(const Vec3& p);
    uint32_t addCoord1(float u, float v);
    uint32_t addCoord2(float u, float v);
    // A face whose coordinate indices equal its vertex indices (for meshes
    // with one coordinate per vertex in each set they use).
    WriterFace& addFace(uint32_t a, uint32_t b, uint32_t c, int32_t materialId, uint32_t smoothingGroups = 1);
};

struct DummyRecord {
    int32_t id = 0;
    int32_t parentId = 0;
    std::string name;
    Vec3 position;
    Quaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    Vec3 scale{1.0f, 1.0f, 1.0f};
};

struct CameraRecord {
    int32_t id = 0;
    std::string name;
    Vec3 position;
    float fieldOfView = 45.0f;       // degrees
    int32_t targetId = 0;            // 0: the scene's first top-level object
};

// Markers and flares share one record.
struct MarkerRecord {
    int32_t id = 0;
    std::string name;
    Vec3 position;
};

struct LightRecord {
    int32_t id = 0;
    std::string name;
    Vec3 position;
    Vec3 colour{1.0f, 1.0f, 1.0f};   // r, g, b
    float range = 0.0f;              // 0 or less: no attenuation
    int32_t targetId = 0;            // 0: none
    float spotExponent = 0.0f;
    float spotCutoff = 180.0f;       // degrees; 180: not a spot
    std::string projectedTexture;    // empty: none
};

struct MaterialRecord {
    int32_t id = 0;
    std::string name;
    Vec3 ambient{0.2f, 0.2f, 0.2f};
    Vec3 diffuse{0.8f, 0.8f, 0.8f};
    Vec3 specular{0.0f, 0.0f, 0.0f};
    float glossiness = 0.4f;         // 0..1
    float specularLevel = 0.0f;
    float opacity = 1.0f;            // 1: opaque
    bool twoSided = false;
    std::string diffuseMap;          // texture file names; empty: none
    std::string secondMap;
    std::string additiveMap;
    std::string bumpMap;
    std::string opacityMap;
    std::string detailMap;
    bool environment = false;        // cube-map environment
};

struct PositionKeyRecord {
    int32_t frame = 0;
    Vec3 position;
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
    float extra[2] = {0.0f, 0.0f};
};

struct RotationKeyRecord {
    int32_t frame = 0;
    float value[4] = {0.0f, 0.0f, 0.0f, 1.0f};
};

// Controller record: class 1 kind 5 (samples), class 2 kind 2 (position keys)
// or kind 3 (rotation keys). Other classes and kinds are written with the
// `extra` bytes as their data, to exercise readers.
struct ControllerRecord {
    int32_t ownerId = 0;
    uint32_t controllerClass = 1;
    uint32_t kind = 5;
    int32_t interval = 1;            // scene-time units per sample (class 1)
    std::vector<Vec3> positions;     // samples: as many positions ...
    std::vector<Quaternion> rotations; // ... as rotations
    std::vector<PositionKeyRecord> positionKeys;
    std::vector<RotationKeyRecord> rotationKeys;
    std::vector<unsigned char> extra;
    uint32_t countOverride = 0;      // non-zero: the count written instead of the real one

    void addSample(const Vec3& position, const Quaternion& rotation);
    uint32_t count() const;
};

// Payloads (without the chunk header) and whole chunks.
void encodeMesh(const MeshRecord& r, std::vector<unsigned char>& out);
void encodeDummy(const DummyRecord& r, std::vector<unsigned char>& out);
void encodeCamera(const CameraRecord& r, std::vector<unsigned char>& out);
void encodeMarker(const MarkerRecord& r, std::vector<unsigned char>& out);
void encodeLight(const LightRecord& r, std::vector<unsigned char>& out);
void encodeMaterial(const MaterialRecord& r, std::vector<unsigned char>& out);
void encodeController(const ControllerRecord& r, std::vector<unsigned char>& out);
void appendChunk(uint32_t type, const std::vector<unsigned char>& payload, std::vector<unsigned char>& out);

// A rotation of `radians` about `axis` (normalised here) as a quaternion.
Quaternion axisAngle(Vec3 axis, float radians);
