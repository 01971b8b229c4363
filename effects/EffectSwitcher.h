#pragma once
// One registered id that drives five independent picture layers: the
// switcher owns five ImageLayers and hands every signal of the script to the
// one currently selected.
//
// Signals, then passed on to the selected layer whatever the code:
//   97 ('a')  start the selected layer
//   98 ('b')  stop it
//   99 ('c')  select layer argument 1 (0 to 4; anything else keeps the
//             selection)
// Until the first valid 99 no layer is selected and signals go nowhere. The
// switcher keeps no base signal state of its own.

#include "engine/Effect.h"

class ImageLayer;

class EffectSwitcher : public Effect {
public:
    static constexpr int kChildCount = 5;

    EffectSwitcher();
    ~EffectSwitcher() override;

    // Initialises every layer; the switcher's own base values stay as they are.
    void init(int time) override;
    // Draws every running layer in order.
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    ImageLayer* child(int index) const { return children[index]; }
    // Index of the selected layer, -1 before the first selection.
    int selectedIndex() const;

private:
    ImageLayer* children[kChildCount] = {};
    ImageLayer* current = nullptr;
};
