#pragma once
// Fading after-images of the source (effect id 42).
//
// Every captureInterval-th preRender captures the source at 512 x 512 in the
// back buffer's corner into one of six textures ("motionblur0" to
// "motionblur5"). The textures move between two fixed lists: the free list
// and the history, newest capture first. A capture takes the first free
// texture, or once all six hold captures the oldest one, and puts it at the
// front of the history. render draws the source (unless switched off) and
// lays the history over it, the newest at `captureAlpha`, each older one
// captureAlpha / n less; an alpha test drops fragments at 0.1 or below.
//
// Nothing is allocated after construction: the lists are fixed arrays of
// texture pointers, and recycling moves pointers, never textures.
//
// Signals: 90 capture interval (raised to 1), 94 draw-source flag, 95 reset
// (history back to the free list, newest first; frame counter 0), 118 alpha
// of the newest capture (/ 255).

#include "engine/Effect.h"

class ScreenQuad;
class Texture;

class MotionBlurFilter : public Effect {
public:
    static constexpr int kFrameSize = 512;   // capture square and texture side, pixels
    static constexpr int kTextureCount = 6;

    MotionBlurFilter();
    ~MotionBlurFilter() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
    void preRender(int time) override;

    int historySize() const { return historyCount; }
    int freeSize() const { return freeCount; }
    // i = 0 is the newest capture.
    Texture* historyAt(int i) const { return history[i]; }
    Texture* freeAt(int i) const { return freeList[i]; }
    Texture* texture(int i) const { return textures[i]; }

    float captureAlpha = 0.5f;  // alpha of the newest capture
    int captureInterval = 4;    // frames between captures, at least 1
    bool drawSource = true;
    int frameCounter = 0;

private:
    void capture(Texture* target, int time);
    void drawHistory();

    Texture* textures[kTextureCount] = {};   // from the TextureManager, in name order
    Texture* freeList[kTextureCount] = {};
    int freeCount = 0;
    Texture* history[kTextureCount] = {};    // newest first
    int historyCount = 0;
    ScreenQuad* quad = nullptr;              // owned
};
