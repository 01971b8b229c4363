#pragma once
// A coarse block look (effect id 40): the source renders, besides normally,
// into up to three tiny off-screen buffers (32 x 32 and 64 x 64 by default),
// which are then added over it, magnified to the whole screen with nearest
// sampling, at `brightness` grey. The buffers capture independently of the
// window's size. The effect's rotation turns the block layers about the
// screen centre; the source itself stays upright.
//
// The filter owns its three buffers (made directly, not shared); a block size
// of 0 or less leaves that buffer out. Signal 91 re-creates them, so a size
// change costs a buffer re-creation, never a per-frame one.
//
// Signals: 90 brightness (/ 255); 91 nearest flag and the three block sizes.

#include "engine/Effect.h"
#include "gl/PBuffer.h"

class AnsiFilter : public Effect {
public:
    static constexpr int kBufferCount = 3;

    AnsiFilter();
    ~AnsiFilter() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
    void preRender(int time) override;

    const PBuffer& buffer(int i) const { return buffers[i]; }

    int blockSizes[kBufferCount] = {32, 64, 0}; // buffer sides in pixels; <= 0 unused
    float brightness = 0.5f;                    // grey level each buffer is added with
    bool nearest = true;                        // magnification filter of the buffers

private:
    void setupBuffer(PBuffer& buffer, int size);

    PBuffer buffers[kBufferCount];
};
