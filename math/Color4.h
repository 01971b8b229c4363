#pragma once
// An RGBA colour of floats in r, g, b, a order (1.0 is full intensity).
// New colours are opaque white; the scene code sets colours from three
// components and leaves alpha at 1.

struct Color4 {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;

    Color4() = default;
    Color4(float r, float g, float b, float a = 1.0f) : r(r), g(g), b(b), a(a) {}

    void set(float nr, float ng, float nb, float na = 1.0f);
    // (r + g + b) / 3; alpha is not part of the grey level.
    float grey() const;
    // Scales r, g and b; alpha stays.
    void scale(float f);
};

static_assert(sizeof(Color4) == 16, "Color4 is four packed floats");
