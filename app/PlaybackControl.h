#pragma once
// The viewer's keys for moving about in the demo while it plays, on top of
// the script's own keys (Escape, Ctrl+Shift, Ctrl+Home) and those of the key
// controller effect (digits, letters, arrows):
//   Space       pause and resume, picture and sound together
//   Page Up     5 s back: the demo is built again and fast-forwarded
//   Page Down   5 s ahead: the events in between are delivered without drawing
// Each press counts once (held keys do not repeat), however short it is:
// presses are taken from the window messages, not from the key state a
// frame reads.
//
// It also decides where each start of the script begins: the time of a seek
// back when one is pending, otherwise the --start time, never before the
// demo start, and never at or past the end event, which would end the run
// before a frame is shown (a watched save can move the end before the time
// shown): then the start is the last moment before the end, paused. Owned by
// the demo run; prints what it does on stdout.

#include "app/KeyPresses.h"

class DemoEngine;
class ScriptPlayer;

class PlaybackControl {
public:
    static constexpr int kKeySpace = 0x20;
    static constexpr int kKeyPageUp = 0x21;
    static constexpr int kKeyPageDown = 0x22;
    static constexpr int kSeekStepMs = 5000;

    // startMs: where playback starts (--start), -1 for the demo start.
    PlaybackControl(bool music, int startMs);

    // Notes presses of the three keys; the message goes on to the engine as well.
    void onMessage(const WindowMessage& msg) { presses.onMessage(msg); }

    // The demo time the script, just started, is to begin at. demoEnd: its
    // end event's time, -1 for none.
    int startTime(int demoStart, int demoEnd = -1);
    // A --loop that was refused takes the start it gave (its FROM) with it:
    // playback starts where it would without the loop.
    void dropLoopStart(int loopFromMs);
    // After a start of the script and its music: a paused run stays paused.
    void started(DemoEngine& engine);

    // Acts on the presses noted since the last frame. True when the script
    // must be built again (a seek back); the player has then been told to restart.
    bool apply(DemoEngine& engine, ScriptPlayer& player);

    // Moves playback to demo time `target` (never before the demo start), as
    // the seek keys do; true when that is back and the demo must be built
    // again, as for apply. `now`: the time shown. A target at or past the
    // script's end is refused with a line on stdout; past the music's end
    // the demo plays on without sound.
    bool seek(DemoEngine& engine, ScriptPlayer& player, int now, int target);

    bool paused() const { return isPaused; }
    // While paused, once the picture of the paused time has been drawn, the
    // frames show that picture again rather than drawing it anew. A pause, a
    // seek or a start asks for a new picture.
    bool holdsPicture() const { return isPaused && !pictureDue; }
    // A frame drew the demo.
    void pictureDrawn() { pictureDue = false; }

private:
    bool music;
    int startMs;
    int demoStart = 0;
    bool seekPending = false; // a seek back waits for the next start
    int pendingStart = 0;     // its target
    bool isPaused = false;
    bool pictureDue = true;
    KeyPresses presses{kKeySpace}; // Space, Page Up, Page Down since the last frame
};
