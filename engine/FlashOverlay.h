#pragma once
// A full-screen flash in the effect's colour (white by default) that fades
// linearly from alpha 1 at the effect's start time to 0 after flash length ms.
//
// Signals:
//   1    run; one flash, then the effect stops itself
//   2    run; flash again every A0 ms of the effect's clock (A0 <= 0: no repeat)
//   8    run; after the flash the effect stays running and invisible
//   10   speed = A0 (base), and the flash length with it
//   407  from a PatternTrigger: flash length = digit x speed, restart at A0
// A flash length of 0 or below shows nothing.

#include "engine/Effect.h"

class FlashOverlay : public Effect {
public:
    FlashOverlay();

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // Fades as render does, so that a fast-forward stops a single flash.
    void catchUp(int time) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    float flashLengthMs() const { return flashLength; }

private:
    // Alpha at `time`; a single flash that has faded stops the effect. True
    // when there is something to draw.
    bool fade(int time);

    float repeatInterval = 0.0f; // ms; negative: a single flash
    float flashLength = 500.0f;  // ms
};
