#pragma once
// Ready-made geometry for the writer's meshes, in the mesh's own units,
// centred on its origin, faces wound counter-clockwise seen from outside (the
// engine culls back faces). Each shape appends to what the mesh already holds
// and fills both coordinate sets alike, one coordinate per vertex, so the
// faces' coordinate indices equal their vertex indices.

#include "math/Vec3.h"
#include "tools/scenewriter/SceneRecords.h"

// A box of `size` (full extents) on 8 shared corners; each side is its own
// smoothing group (bits 1 to 6), so the sides stay flat-shaded.
void addBox(MeshRecord& mesh, const Vec3& size, int32_t materialId);

// A sphere of `segments` around and `rings` from pole to pole, smoothing
// group 1 throughout (smooth). At least 3 segments and 2 rings.
void addSphere(MeshRecord& mesh, float radius, int segments, int rings, int32_t materialId);

// A flat grid in the x-z plane facing +y: width along x, depth along z,
// cellsX x cellsZ cells of two triangles, smoothing group 1.
void addGrid(MeshRecord& mesh, float width, float depth, int cellsX, int cellsZ, int32_t materialId);

// A torus around the y axis: ring radius `major`, tube radius `minor`.
void addTorus(MeshRecord& mesh, float major, float minor, int segments, int sides, int32_t materialId);
