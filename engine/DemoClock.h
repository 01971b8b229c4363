#pragma once
// Demo time for the run, in milliseconds.
//
// Two sources. The timer of old counts the process clock from the last start,
// plus an offset (the script's demo start), and knows nothing of the sound.
// Locked to the music, demo time follows the music's playback position
// instead: the sound output reports, once per mixed buffer, where the music
// stood and when; a MusicLock turns those steps into a clock that runs
// between them and is steered towards them, so that demo time never runs
// backwards, frame steps stay even, and the picture cannot drift from the
// sound however long the run or however long a stall.
//
// Both sources pause (time stands still until resumed) and seek (demo time
// is the given time from now on). Owned by the DemoEngine.

#include "engine/HighResTimer.h"

#include <cstdint>

// Where the music stood when it was last heard: `ms` into the music at the
// moment `counter` (ticks of the active clock).
struct MusicPosition {
    double ms = 0.0;
    int64_t counter = 0;
};

// Reads the music's position; false while no music plays (not started,
// paused, played out). Called once per frame, from the frame loop.
using MusicPositionReader = bool (*)(MusicPosition& heard);

// A clock that runs at an adjustable rate from an anchor and is steered
// towards a reference that arrives in steps. Small errors change the rate (by
// at most kMaxSlew), so the clock catches up or waits without a jump; an
// error beyond kJumpMs (a seek, a long stall of the sound) moves it to the
// reference at once, forwards only: a clock ahead of the sound stands still
// until the sound catches up.
class MusicLock {
public:
    static constexpr double kJumpMs = 200.0;     // errors beyond this are not steered out
    static constexpr double kCatchUpMs = 500.0;  // an error of this size changes the rate by 100 %
    static constexpr double kMaxSlew = 0.05;     // the rate stays within 1 +- this

    // Demo time is `ms` at `counter`; positions heard before `counter` are
    // ignored from now on (they belong to the music before a seek).
    void reset(double ms, int64_t counter);
    // Demo time at `counter`; `heard` is the latest position, nullptr when no
    // music plays (the clock then runs on at its own rate).
    double update(int64_t counter, int64_t frequency, const MusicPosition* heard);

    double rate() const { return speed; }

private:
    double estimate(int64_t counter, int64_t frequency) const;

    double anchorMs = 0.0;
    int64_t anchorCounter = 0;
    int64_t resetCounter = 0;
    double speed = 1.0;
    double lastMs = 0.0; // the last time handed out; never goes back
};

class DemoClock {
public:
    // nullptr: the free-running timer. Otherwise demo time follows the music.
    void lockToMusic(MusicPositionReader reader) { musicReader = reader; }
    bool lockedToMusic() const { return musicReader != nullptr; }
    // Demo time at which the music's own position 0 is heard (0 unless the
    // run began before the music's start, as a lead-in does). Locked, demo
    // time is the music's position plus this, so the relation the run
    // started with holds and only drift is steered out.
    void setMusicOrigin(int ms) { musicOrigin = ms; }

    // Starts counting from the offset (a paused clock stays paused).
    void start();
    // Demo time at the start; applies at once to a running clock.
    void setOffset(int ms);
    // Demo time from now on is `ms`.
    void seek(int ms);
    void setPaused(bool paused);
    bool paused() const { return isPaused; }

    int now();

private:
    void restartFrom(int ms);

    HighResTimer timer;
    MusicLock lock;
    MusicPositionReader musicReader = nullptr;
    int musicOrigin = 0;
    bool isPaused = false;
    int pausedAt = 0; // demo time while paused
};
