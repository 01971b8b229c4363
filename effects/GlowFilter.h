#pragma once
// Adds a soft glow of the source's picture over the frame (effect id 43).
//
// preRender captures the source at 256 x 256 in the back buffer's corner
// ("GlowFilter2") and smears it into a 128 x 128 glow texture ("GlowFilter1"):
// the capture once, plus four copies shifted by one texel left, right, up and
// down under colour ramps from 0.55 to 0. render adds copyCount copies of the
// glow texture over the whole screen, each one's texture window widened by
// the zoom step (so with a negative step the copies grow outward) and its
// grey level changed by the intensity step, starting from the effect's
// alpha. The filter never draws the source itself; the script puts the source
// on a layer of its own.
//
// Glow-only: the capture is framed by signals to the source (90 with 0, 302,
// 301 with 0, 90 with 1 before; 301 with 1 after), which a scene effect uses
// to draw only its glowing parts.
//
// Signals: 91 copy count, zoom step (thousandths), intensity step
// (hundredths); 92 glow-only flag; 93 offset move (from x, y to x, y in
// hundredths of the screen, start, duration in ms).
//
// Note: the capture clears the whole window's colour afterwards (with the
// clear colour in force), so whatever layer 0 drew is gone.

#include "engine/Effect.h"

class Texture;

class GlowFilter : public Effect {
public:
    static constexpr int kGlowSize = 128;    // glow texture side, pixels
    static constexpr int kCaptureSize = 256; // capture square and texture side, pixels

    GlowFilter();
    ~GlowFilter() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
    void preRender(int time) override;

    int copyCount = 5;
    float zoomStep = -0.01f;     // texture-window inset change per copy
    float intensityStep = 0.0f;  // grey level change per copy
    bool glowOnly = false;
    AnimatedValue offsetX, offsetY; // where the copies are drawn, screen fractions

    Texture* glowTexture = nullptr;    // "GlowFilter1", from the TextureManager
    Texture* captureTexture = nullptr; // "GlowFilter2"

private:
    // Smears the capture texture into the glow texture inside the corner square.
    void smear();
    void drawCopy(float inset, float intensity);
};
