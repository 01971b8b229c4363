#pragma once
// Inverts the whole frame for a moment and fades back: a full-screen quad in
// the effect's colour blended as (1 - destination) x colour + destination x
// (1 - colour), so white gives the inverted frame and black leaves it as it
// was. A trigger sets the colour to white and fades it to black over the
// flash length.
//
// Signals (after the base table):
//   90        flash length = argument 1 (ms; 100 until set)
//   400, 407  flash at demo time argument 1 (ms, not shifted by the time
//             offset), unless a flash is still fading
// init turns the colour black (no flash) and leaves the clock alone.

#include "engine/Effect.h"

class ScreenQuad;

class InvertFlash : public Effect {
public:
    InvertFlash();
    ~InvertFlash() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // Brings the fade up to `time`, so that a fast-forward asks "still
    // fading?" of a trigger as a drawn frame would.
    void catchUp(int time) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    int flashLengthMs() const { return flashLength; }

private:
    ScreenQuad* quad;       // owned
    int flashLength = 100;  // ms
};
