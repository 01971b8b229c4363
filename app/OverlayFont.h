#pragma once
// A tiny built-in bitmap font for the overlay: 5 x 7 pixel capitals, digits
// and common punctuation in cells of 6 x 9 pixels. Lower case is drawn as
// upper case; anything else as '?'.
//
// The glyphs live in one alpha texture made by create() (GL objects are made
// once); draw() lays a line of text as textured quads in immediate mode in
// whatever pixel projection the caller has set up.

#include <GL/gl.h>

class OverlayFont {
public:
    static constexpr int kCellWidth = 6; // pixels per character at scale 1
    static constexpr int kCellHeight = 9;

    // The 7 rows of a glyph, top first, bit 4 the leftmost pixel; false for
    // characters the font lacks.
    static bool glyphRows(char c, unsigned char rows[7]);

    // Needs a current context. Safe to call again.
    void create();
    void destroy();
    // Draws text with its top left corner at (x, y) in a projection with y
    // growing downwards, `scale` screen pixels per font pixel. Binds the
    // font texture to GL_TEXTURE_2D.
    void draw(const char* text, float x, float y, float scale) const;

private:
    GLuint texture = 0;
};
