#pragma once
// A zoom (radial) blur of the source (effect id 41).
//
// preRender captures the source at 512 x 512 in the back buffer's corner into
// "radialblur" and then pre-blurs it: captureCopies magnified copies of the
// capture are added in the square and copied back over it. render draws the
// source (unless switched off) and adds renderCopies copies of the blurred
// texture, each one's texture window narrowed by (sStep, tStep) on every side
// and its alpha changed by alphaStep, starting at startAlpha; with a negative
// step the fan stops after the first copy whose alpha falls to 0 or below.
// With rotation on, copy i is turned about the screen centre by the angle
// plus i steps, on top of the turns of the copies before it; the angle grows
// by one degree per rotation period of elapsed time.
//
// Signals: 90 capture and render copies, 91 start alpha (hundredths) and
// alpha step (thousandths), 92 s and t steps (thousandths), 93 draw-source
// flag, 94 rotation flag, step (hundredths of a degree) and period (ms).

#include "engine/Effect.h"

class Texture;

class RadialBlurFilter : public Effect {
public:
    static constexpr int kBlurSize = 512; // capture square and texture side, pixels

    RadialBlurFilter();
    ~RadialBlurFilter() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
    void preRender(int time) override;

    int captureCopies = 3;      // copies summed into the texture in preRender
    int renderCopies = 16;      // copies drawn on screen
    float startAlpha = 0.45f;
    float alphaStep = 0.01f;
    float sStep = 0.01f;        // texture-window inset growth per copy
    float tStep = 0.01f;
    bool drawSource = true;
    bool rotate = false;
    float rotationAngle = 0.0f; // degrees
    float rotationStep = 1.0f;  // degrees per copy
    int rotationPeriod = 1000;  // ms per degree; 0 keeps the angle
    int lastRenderTime = 0;     // ms

    Texture* blurTexture = nullptr; // "radialblur", from the TextureManager

private:
    void drawCopies(int count);
};
