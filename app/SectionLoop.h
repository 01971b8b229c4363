#pragma once
// A section of the demo played over and over while a production is made:
// --loop FROM:TO, and keys that set its ends at the time shown:
//   [   the loop starts here
//   ]   the loop ends here (from the demo start when no start is set)
//   \   no loop
// (none of them is a key of the key controller effect or the playback keys).
// When the demo time reaches the end, playback goes back to the start as a
// seek back does, the music with it. Prints what it does on stdout.

#include "app/KeyPresses.h"

class DemoEngine;
class PlaybackControl;
class ScriptPlayer;
class SectionLoop {
public:
    static constexpr int kKeyStart = 0xDB; // [
    static constexpr int kKeyClear = 0xDC; // backslash
    static constexpr int kKeyEnd = 0xDD;   // ]

    // fromMs, toMs: the --loop section; -1 for none.
    SectionLoop(int fromMs, int toMs) : from(fromMs), to(toMs) {}

    void onMessage(const WindowMessage& msg) { pressed.onMessage(msg); }
    // Acts on the keys pressed since the last frame and, at the loop's end,
    // seeks back to its start. True when the demo must be built again.
    bool apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback);

    bool active() const { return from >= 0 && to > from; }

private:
    int from;
    int to;
    KeyPresses pressed{kKeyStart}; // start, clear, end since the last frame
};
