#pragma once
// A full-screen veil in the effect's colour whose alpha runs in a straight
// line from the fade start: alpha = (time - fade start) x rate + start alpha,
// not limited to 1 (GL clamps the colour). Nothing is drawn while alpha <= 0.
//
// Signals (T = first argument, ms):
//   3  fade out until demo time T     4  fade in until demo time T
//   6  fade in over T ms              7  fade out over T ms
// A fade that would take no time at all (T equal to the fade start for 3 and
// 4, T = 0 for 6 and 7) is complete at once: a fade in shows the colour fully,
// a fade out shows nothing.

#include "engine/Effect.h"

class ScreenFade : public Effect {
public:
    ScreenFade();

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    float currentAlpha() const { return fadeAlpha; }

private:
    // Sets a fade running from `from` to the opposite end over `durationMs`.
    void setFade(float from, long long durationMs);

    int fadeStart = 0;       // demo ms
    float startAlpha = 0.0f;
    float rate = 0.0f;       // alpha per ms
    float fadeAlpha = 0.0f;  // alpha of the last frame
};
