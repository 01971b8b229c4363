#pragma once
// Draws a 3D effect as a flat layer: in preRender the inner effect renders
// into the shared off-screen target "renderTarget", and render lays that
// picture over the screen with the wrapper's colour, rotation and an optional
// vertical shake. The effect registry wraps the scene-based effects in one of
// these, so every wrapped effect can be turned, shaken and faded like a
// picture.
//
// The target is 1024 x 1024 for pictures up to that size and follows larger
// ones (RenderTargetSize.h says how, and how --render-target changes it). It
// is given new storage in preRender when the picture's size has changed
// (WindowTarget.h), so a resized window, a fit turned on or off and a capture
// size all take effect at the next frame. Before each render the inner effect
// gets the picture's aspect (signal 251 in hundredths, 133 at 4:3), so a
// wrapped scene is not squeezed on a 16:9 screen.
//
// The wrapper owns its inner effect (held in `source`, fixed for its life;
// signal 70 does not change it). All wrappers share one buffer, taken from the
// PBufferManager and given back by the destructor: two wrappers running in one
// frame both show the picture of whichever pre-rendered last.
//
// Signals: 91 sets the shake (frequency and amplitude in thousandths,
// duration in ms), 407 with argument 2 = 110 ('n') starts it at argument 1
// (ms); colour, rectangle and rotation signals (200 to 203, 205, 206, 500,
// 501) apply to the wrapper. Every signal is also handed on to the inner
// effect with the buffer enabled, so that GL work it does meanwhile lands in
// the buffer's context, where it renders.

#include "effects/RenderTargetSize.h"
#include "engine/Effect.h"

class PBuffer;

class RenderTargetLayer : public Effect {
public:
    // How the shared target is sized, for every wrapper built afterwards and
    // every frame they draw; set by the run before the effects are built.
    static void setSizing(const RenderTargetSizing& sizing);

    // Takes ownership of `inner`.
    explicit RenderTargetLayer(Effect* inner);
    ~RenderTargetLayer() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
    void preRender(int time) override;

    Effect* inner() const { return source; }
    // The shared off-screen target ("renderTarget").
    PBuffer* renderTarget() const { return target; }
    bool isShaking() const { return shaking; }
    // The vertical shake offset of the last render, in screen fractions.
    float lastShakeOffset() const { return shakeOffset; }

private:
    // The target's size for the picture now drawn, from the sizing rule and
    // what the GL accepts.
    static void wantedTargetSize(int pictureWidth, int pictureHeight, int& width, int& height);

    PBuffer* target = nullptr;
    float shakeFrequency = 0.0f; // radians per unit of scaled local time
    float shakeAmplitude = 0.0f; // screen fractions
    float shakeDuration = 0.0f;  // ms
    bool shaking = false;
    float shakeStart = 0.0f;     // demo ms
    float shakeOffset = 0.0f;
};
