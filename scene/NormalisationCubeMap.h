#pragma once
// The normalisation cube map of the DOT3 bump modes: each texel holds the
// unit vector pointing at it, packed into bytes as 255 x (0.5 x n + 0.5), so
// that a texture lookup with an unnormalised tangent-space light vector
// returns that vector normalised.

#include <GL/gl.h>

constexpr int kNormalisationCubeSize = 64; // texels on a side

// Fills one face (0..5: +x, -x, +y, -y, +z, -z) of size x size RGB texels,
// rows outer, columns inner, 3 bytes per texel.
void fillNormalisationCubeFace(int face, int size, unsigned char* texels);

// A new GL cube map texture of six 64 x 64 GL_RGB8 faces with linear filters
// and clamp-to-edge wrapping. The caller owns the name.
GLuint createNormalisationCubeMap();
