#pragma once
// Textures the scene code makes for itself instead of reading them from
// files: the toon ramp that render modes 8 and 9 shade with when an effect
// switches a material to them, and the soft round sprite of the lens flares.
// Both are built once, on first use, and shared through the TextureManager
// under the names below, so they go with the other textures at every full
// rebuild.

class Texture;

constexpr const char* kToonRampName = "toonramp";       // 1D, 64 texels
constexpr const char* kFlareSpriteName = "flaresprite"; // 2D, 64 x 64 RGBA

// The ramp: dark, middle and light bands, warm tinted, indexed by the ramp
// coordinate (about -0.1 facing away from the light, 0.9 facing it).
Texture* getToonRamp();
// White, with an alpha that falls off from the centre to 0 at the edge.
Texture* getFlareSprite();

// The ramp's colour at coordinate s (clamped to 0..1), as bytes.
void toonRampColour(float s, unsigned char rgb[3]);
