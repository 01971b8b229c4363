#pragma once
// One mesh of the source file as the engine's mesh record: positions welded
// (the engine averages normals per position and smoothing group, so a
// position the file split for its normals or texture seams must be one
// vertex again), texture-coordinate sets 0 and 1 one per source vertex, and
// smoothing groups that keep the file's hard and soft edges.

#include "tools/scenewriter/SceneRecords.h"

#include <assimp/mesh.h>

// Fills the geometry of `out` (vertices, coordinates, faces), the positions
// and normals taken through `bake` first (a mirroring one turns the faces
// round so that their fronts stay outside). `smoothAngle`
// below 0 takes the smoothing from the file's normals when it has them, and
// splits at `defaultAngle` when it does not. Returns the number of faces
// written: triangles that collapse to a line or a point are left out.
size_t convertMesh(const aiMesh& mesh, int32_t materialId, const aiMatrix4x4& bake, float smoothAngle, float defaultAngle, MeshRecord& out);
