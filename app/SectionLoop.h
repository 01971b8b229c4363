#pragma once
// A section of the demo played over and over while a production is made:
// --loop FROM:TO, and keys that set its ends at the time shown:
//   [   the loop starts here
//   ]   the loop ends here (from the demo start when no start is set)
//   \   no loop
// (none of them is a key of the key controller effect or the playback keys).
// When the demo time reaches the end, playback goes back to the start as a
// seek back does, the music with it. Prints what it does on stdout.
//
// A loop must hold at least one frame of the show: one that ends at or
// before the demo start, or starts at or after the demo's end, would go back
// for ever without drawing. --loop gives a warning and plays without it,
// from where playback would start without it; a key that would make one is
// refused on stdout and the overlay. A loop that reaches past the demo's end
// is cut at the end, since the end event would end the run before the jump
// back: a warning for --loop, a line on stdout when a watched save moved the
// end. After a jump back one frame is always drawn before the next, so the
// keys of the script (Escape) are read whatever the loop's length.

#include "app/KeyPresses.h"

class DemoEngine;
class FramePresenter;
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
    // At each start of the script, before playback's start time is taken:
    // fits the loop to the show as it now is (demoEnd: -1 for no end).
    void fit(int demoStart, int demoEnd, PlaybackControl& playback);
    // Acts on the keys pressed since the last frame and, at the loop's end,
    // seeks back to its start. True when the demo must be built again.
    bool apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback, FramePresenter& presenter);

    // After a frame that asked to quit: true when that was the end event,
    // reached by a loop that runs to the demo's end (the frame reads the
    // clock after apply did), and the next apply goes back instead.
    bool catchesEnd(const ScriptPlayer& player);

    bool active() const { return from >= 0 && to > from; }
    int startMs() const { return from; }
    int endMs() const { return to; }

    // Whether fromMs..toMs holds a frame of a show that runs from demoStart
    // to demoEnd (-1: no end).
    static bool holdsAFrame(int fromMs, int toMs, int demoStart, int demoEnd);

private:
    void actOnKeys(int now, ScriptPlayer& player, FramePresenter& presenter);

    int from;
    int to;
    bool fitted = false;           // the --loop section was fitted to the show
    int showEnd = -1;              // the demo's end when last fitted; -1: none
    bool endCaught = false;        // the end event was reached: go back, paused or not
    bool jumped = false;           // the last call went back; a frame is drawn first
    bool refusalShown = false;     // the overlay shows a refused loop
    KeyPresses pressed{kKeyStart}; // start, clear, end since the last frame
};
