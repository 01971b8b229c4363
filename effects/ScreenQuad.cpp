#include "effects/ScreenQuad.h"

#include "gl/GLExtensions.h"

#include <GL/gl.h>

ScreenQuad::ScreenQuad(float x, float y, float w, float h)
    : vertices{}
    , indices{0, 2, 1, 2, 0, 3}
{
    const float corners[4][2] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    const float unit0[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
    for (int v = 0; v < 4; ++v) {
        vertices[v].position = Vec3(corners[v][0], corners[v][1], 0.0f);
        vertices[v].texCoord[0][0] = unit0[v][0];
        vertices[v].texCoord[0][1] = unit0[v][1];
    }
}

ScreenQuad::~ScreenQuad() = default;

void ScreenQuad::draw(int units)
{
    if (units < 1)
        units = 1;
    if (units > kMaxUnits)
        units = kMaxUnits;
    const GLsizei stride = sizeof(Vertex);

    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(2, GL_FLOAT, stride, &vertices[0].position);
    for (int i = 0; i < units; ++i) {
        glext::glClientActiveTextureARB(GL_TEXTURE0_ARB + i);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, stride, vertices[0].texCoord[i]);
    }
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices);

    // Every unit's array is switched off again, not only the last one: an
    // array left enabled would point into this quad after it is gone, and
    // the next draw that uses that unit would read from it.
    glDisableClientState(GL_VERTEX_ARRAY);
    for (int i = units - 1; i >= 0; --i) {
        glext::glClientActiveTextureARB(GL_TEXTURE0_ARB + i);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
}
