#pragma once
// Clears colour, depth and stencil at the start of a frame (id 0, on layer 0).
// Its colour is the clear colour: signals 200 and 201 choose it. It keeps no
// clock of its own: init leaves the base clock and rectangle alone, and render
// does not update, so colour moves started by signals do not progress.

#include "engine/Effect.h"

class ClearScreen : public Effect {
public:
    ClearScreen() = default;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
};
