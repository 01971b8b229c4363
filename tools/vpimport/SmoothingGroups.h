#pragma once
// Smoothing groups for a triangle mesh, one mask per face (bit k: group k),
// chosen so that the engine's normals, which it averages per vertex and per
// group, show the surface the way the source tool did: smooth where the
// faces shared a normal, hard where they did not.
//
// Faces are joined into regions, then each region gets one group such that
// regions meeting at a vertex differ. With more than 32 regions around one
// vertex, the group shared with the fewest of them is reused.

#include "math/Vec3.h"

#include <cstdint>
#include <vector>

// `corners` holds three vertex indices per face into `positions` (welded:
// one index per distinct position). From the file's normals: faces meeting
// at a vertex with the same normal there (one per corner in
// `cornerNormals`) join.
std::vector<uint32_t> groupsFromNormals(const std::vector<Vec3>& positions, const std::vector<uint32_t>& corners,
                                        const std::vector<Vec3>& cornerNormals);

// By angle: faces sharing an edge join when their face normals differ by at
// most `degrees`.
std::vector<uint32_t> groupsByAngle(const std::vector<Vec3>& positions, const std::vector<uint32_t>& corners,
                                    float degrees);
