#pragma once
// A rectangle mesh for full-screen passes: four vertices, each a position and
// one texture-coordinate pair per texture unit, drawn as two indexed
// triangles from client-side arrays. Unit 0 maps the rectangle's corners to
// (0, 0) .. (1, 1); units 1 to 3 carry zeros.
//
// Vertex 0 = (x, y), 1 = (x + w, y), 2 = (x + w, y + h), 3 = (x, y + h);
// triangles 0, 2, 1 and 2, 0, 3. Owned by the effect that draws with it.

#include "math/Vec3.h"

class ScreenQuad {
public:
    static constexpr int kMaxUnits = 4;

    ScreenQuad(float x, float y, float w, float h);
    virtual ~ScreenQuad();

    // Draws the two triangles with texture coordinates on units 0 to
    // units - 1 (1 to 4); leaves every client array disabled and client
    // unit 0 selected.
    virtual void draw(int units);

    struct Vertex {
        Vec3 position;             // x and y used, z 0
        float texCoord[kMaxUnits][2];
    };
    static_assert(sizeof(Vertex) == 44, "a vertex is 11 tightly packed floats");

    Vertex vertices[4];
    unsigned short indices[6];

private:
    ScreenQuad(const ScreenQuad&) = delete;
    ScreenQuad& operator=(const ScreenQuad&) = delete;
};

// The only form the effects create: the unit square (0, 0, 1, 1).
class UnitScreenQuad : public ScreenQuad {
public:
    UnitScreenQuad() : ScreenQuad(0.0f, 0.0f, 1.0f, 1.0f) {}
};
