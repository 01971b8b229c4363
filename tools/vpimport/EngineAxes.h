#pragma once
// The engine's frame: y up, right-handed (x to the right, z toward the
// viewer, the way GL looks down -z), one unit a centimetre, which is what the
// cameras' default near plane of 1 and far plane of 2000 are made for.
//
// Each source format has its own frame; the importer reads it into this one
// with one matrix applied above the file's root node, so every transform
// below the root keeps its own values.

#include "math/Quaternion.h"
#include "math/Vec3.h"

#include <assimp/matrix4x4.h>
#include <assimp/quaternion.h>
#include <assimp/scene.h>

#include <string>

struct SourceFrame {
    aiMatrix4x4 toEngine;     // rotation and uniform scale
    float unitScale = 1.0f;   // engine units per file unit, --scale included
    std::string description;  // for the summary: "y up, metres"
    std::string unit;         // "metres", "centimetres", ...
    bool unitSaid = true;     // false: the file cannot say, the unit is the format's custom or --units
};

// `extension` is the model's file ending in lower case, without the dot.
// `assumedUnit`: centimetres per file unit for a file that does not say its
// unit (--units); 0 takes the format's custom.
SourceFrame sourceFrame(const aiScene& scene, const std::string& extension, float userScale,
                        float assumedUnit = 0.0f);

// The name of a unit given in centimetres: "metres" for 100.
std::string unitName(float centimetres);

// A transform as the engine's objects hold it: translate, rotate, scale.
struct EngineTransform {
    Vec3 position;
    Quaternion rotation{0.0f, 0.0f, 0.0f, 1.0f};
    Vec3 scale{1.0f, 1.0f, 1.0f};
};

// Splits an affine matrix into the engine's three parts. A mirroring matrix
// keeps its mirror in a negative x scale; shear cannot be held and is lost.
EngineTransform engineTransform(const aiMatrix4x4& m);

// The translation and rotation of `m` alone, as a matrix: what the engine's
// objects carry. The rest, rigidPart(m)^-1 * m (scale, mirror, shear), goes
// into the vertices, since a scaled object would scale its normals too and
// GL lights them unnormalised.
aiMatrix4x4 rigidPart(const aiMatrix4x4& m);

// The quaternion to write for a rotation: the engine builds the row-major
// matrix of the quaternion and hands it to GL as stored, so GL applies its
// transpose, the inverse rotation. Writing the conjugate makes GL turn the
// object the way the source tool did.
Quaternion engineRotation(const aiQuaternion& q);

inline Vec3 toVec3(const aiVector3D& v) { return Vec3(v.x, v.y, v.z); }
