#pragma once
// A live controller for the running show: key presses toggle effects and send
// signals to the effect last toggled (its source when it has one, so that a
// filter's keys reach the scene it shows). Nothing happens until the
// controller has a target, set by signal 70 (argument 1 = effect id) or by a
// toggle key.
//
// Keys (virtual-key codes; each press acts once unless noted):
//   1..7, B, F   start or stop effect 10, 40, 41, 42, 43, 44, 61, 5, 50 and
//                make it the target
//   0            stop every effect, then start effects 0 and 2 and this one
//   N            next camera (signal 20)
//   H            pause or resume (signal 12 at the current time)
//   Left, Right  skip the target's clock back or forward by the step (signal
//                13); these act on every frame while held
//   Up, Down     step x 1.1, x 0.9
//   S, P         shadow toggles (signals 312, 313)
// Signals other than 70 are ignored.

#include "engine/Effect.h"

class KeyControl : public Effect {
public:
    static constexpr int kKeyLeft = 37;
    static constexpr int kKeyUp = 38;
    static constexpr int kKeyRight = 39;
    static constexpr int kKeyDown = 40;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    Effect* currentTarget() const { return target; }
    float currentStep() const { return step; }

private:
    void handleKeys(int time);

    Effect* target = nullptr; // not owned
    float step = 20.0f;       // ms skipped per frame by the arrows
};
