#pragma once
// What an effect attaches to a mesh to receive its highlights: while the mesh
// draws, every vertex whose eye-space normal faces the fixed highlight
// direction (-1, 2, 1) closely enough is handed over with its position (in
// the mesh's own units, under the modelview the mesh draws with) and a
// strength above 0. The effect decides how to show them.

#include "math/Vec3.h"

class HighlightRenderer {
public:
    virtual ~HighlightRenderer() = default;
    virtual void addHighlight(const Vec3& position, float strength) = 0;
};
