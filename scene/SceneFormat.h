#pragma once
// The binary scene format written by the Vorn exporter, and by our own scene
// writer (tools/scenewriter).
//
// How a file is laid out: an 8-byte header (magic 0, version 1), then chunks,
// each an 8-byte header (type, payload size) and its payload, until a chunk of
// type 1. Every integer is 32-bit little-endian, every real an IEEE-754 float,
// little-endian; text fields are fixed-size byte arrays holding a
// zero-terminated string. Records are packed: the offsets below are the
// byte offsets within each record, which the reader goes through field by
// field, never casting a struct over the bytes; the writer emits the same
// fields one after another in that order.

#include <cstdint>

namespace sceneformat {

constexpr uint32_t kMagic = 0;
constexpr uint32_t kVersion = 1;

constexpr int kFileHeaderSize = 8;
constexpr int kChunkHeaderSize = 8;

enum ChunkType : uint32_t {
    kChunkEnd = 1,
    kChunkMesh = 2,
    kChunkDummy = 3,
    kChunkMaterial = 4,
    kChunkCamera = 5,
    kChunkMarker = 6,
    kChunkLight = 7,
    kChunkController = 8,
    kChunkFlare = 9,
};

// Text fields.
constexpr int kNameSize = 52;
constexpr int kTextureNameSize = 100;

// ---------------------------------------------------------------------------
// Mesh record (type 2), followed by V vertices, T1 and T2 coordinates, F faces.
constexpr int kMeshRecordSize = 128;
namespace mesh {
constexpr int id = 0;
constexpr int parentId = 4;
constexpr int name = 8;
constexpr int vertexCount = 60;
constexpr int texCoordCount1 = 64;
constexpr int texCoordCount2 = 68;
constexpr int faceCount = 72;
constexpr int position = 76;
constexpr int rotation = 88;
constexpr int scale = 104;
constexpr int reserved = 116; // 12 bytes, not read
} // namespace mesh
static_assert(mesh::reserved + 12 == kMeshRecordSize);

constexpr int kVertexSize = 12;   // x, y, z
constexpr int kTexCoordSize = 8;  // u, v
constexpr int kFaceSize = 44;
namespace face {
constexpr int vertexIndices = 0;    // 3 x 4
constexpr int texIndices1 = 12;     // 3 x 4
constexpr int texIndices2 = 24;     // 3 x 4
constexpr int materialId = 36;      // -1 = none, read as 0
constexpr int flags = 40;           // smoothing-group mask
} // namespace face
static_assert(face::flags + 4 == kFaceSize);

// ---------------------------------------------------------------------------
// Dummy record (type 3).
constexpr int kDummyRecordSize = 100;
namespace dummy {
constexpr int id = 0;
constexpr int parentId = 4;
constexpr int name = 8;
constexpr int position = 60;
constexpr int rotation = 72;
constexpr int scale = 88;
} // namespace dummy
static_assert(dummy::scale + 12 == kDummyRecordSize);

// ---------------------------------------------------------------------------
// Camera record (type 5).
constexpr int kCameraRecordSize = 76;
namespace camera {
constexpr int id = 0;
constexpr int name = 4;
constexpr int position = 56;
constexpr int fieldOfView = 68; // degrees
constexpr int targetId = 72;
} // namespace camera
static_assert(camera::targetId + 4 == kCameraRecordSize);

// ---------------------------------------------------------------------------
// Marker record (type 6) and flare record (type 9).
constexpr int kMarkerRecordSize = 68;
constexpr int kFlareRecordSize = 68;
namespace marker {
constexpr int id = 0;
constexpr int name = 4;
constexpr int position = 56;
} // namespace marker
static_assert(marker::position + 12 == kMarkerRecordSize);
static_assert(kFlareRecordSize == kMarkerRecordSize);

// ---------------------------------------------------------------------------
// Light record (type 7).
constexpr int kLightRecordSize = 196;
namespace light {
constexpr int id = 0;
constexpr int name = 4;
constexpr int position = 56;
constexpr int colour = 68;
constexpr int range = 80;          // 0 or less: no attenuation
constexpr int targetId = 84;
constexpr int spotExponent = 88;
constexpr int spotCutoff = 92;     // degrees
constexpr int projectedTexture = 96;
} // namespace light
static_assert(light::projectedTexture + kTextureNameSize == kLightRecordSize);

// ---------------------------------------------------------------------------
// Material record (type 4). The one-byte two-sided flag at 104 puts the six
// texture names at odd offsets.
constexpr int kMaterialRecordSize = 708;
namespace material {
constexpr int id = 0;
constexpr int name = 4;
constexpr int ambient = 56;
constexpr int diffuse = 68;
constexpr int specular = 80;
constexpr int glossiness = 92;     // 0..1
constexpr int specularLevel = 96;
constexpr int opacity = 100;       // 1 = opaque
constexpr int twoSided = 104;      // 1 byte
constexpr int diffuseMap = 105;
constexpr int secondMap = 205;
constexpr int additiveMap = 305;
constexpr int bumpMap = 405;
constexpr int opacityMap = 505;
constexpr int detailMap = 605;
constexpr int environment = 705;   // 1 byte
constexpr int padding = 706;       // 2 bytes, not read
} // namespace material
static_assert(material::detailMap + kTextureNameSize == material::environment);
static_assert(material::padding + 2 == kMaterialRecordSize);

// ---------------------------------------------------------------------------
// Controller record (type 8), followed by its keys or samples.
constexpr int kControllerRecordSize = 28;
namespace controller {
constexpr int reserved0 = 0;
constexpr int ownerId = 4;
constexpr int kind = 8;
constexpr int controllerClass = 12;
constexpr int reserved1 = 16;
constexpr int count = 20;
constexpr int interval = 24;       // signed, scene-time units; class 1 only
} // namespace controller
static_assert(controller::interval + 4 == kControllerRecordSize);

constexpr uint32_t kClassSampled = 1;
constexpr uint32_t kClassKeyed = 2;
constexpr uint32_t kKindPositionKeys = 2;  // class 2
constexpr uint32_t kKindRotationKeys = 3;  // class 2
constexpr uint32_t kKindPositionRotation = 5; // class 1, "VORN_CTRL_PR"

constexpr int kSampleSize = 28;         // position x, y, z; quaternion x, y, z, w
constexpr int kPositionKeySize = 36;    // frame; x, y, z; tension, continuity, bias; 2 unused
constexpr int kRotationKeySize = 20;    // frame; four floats
static_assert(kSampleSize == 7 * 4);
static_assert(kPositionKeySize == 9 * 4);
static_assert(kRotationKeySize == 5 * 4);

} // namespace sceneformat
