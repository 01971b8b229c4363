#include "app/PlaybackControl.h"

#include "engine/DemoEngine.h"
#include "engine/ScriptPlayer.h"

#include <cstdio>

PlaybackControl::PlaybackControl(bool withMusic, int start)
    : music(withMusic)
    , startMs(start)
{
}

int PlaybackControl::startTime(int start, int end)
{
    demoStart = start;
    // A seek back may aim anywhere from the demo start on, a lead-in's
    // negative times too; without one, --start (never negative) or the demo
    // start itself.
    int at = demoStart;
    if (seekPending)
        at = pendingStart;
    else if (startMs >= 0)
        at = startMs;
    seekPending = false;
    if (at < demoStart)
        at = demoStart;
    // Shown paused, the end's last picture lets the author see where the
    // show now ends, and Page Up or a fix goes on from there.
    if (end > demoStart && at >= end) {
        std::printf("the demo ends at %d ms, before %d ms: showing its end at %d ms\n", end, at, end - 1);
        at = end - 1;
        if (!isPaused)
            std::printf("paused at %d ms\n", at);
        std::fflush(stdout);
        isPaused = true;
    }
    return at;
}

void PlaybackControl::dropLoopStart(int loopFromMs)
{
    if (startMs == loopFromMs)
        startMs = -1;
}

void PlaybackControl::started(DemoEngine& engine)
{
    pictureDue = true;
    if (isPaused) {
        engine.demoClock().setPaused(true);
        if (music)
            engine.pauseMusic(true);
    }
}

bool PlaybackControl::apply(DemoEngine& engine, ScriptPlayer& player)
{
    DemoClock& clock = engine.demoClock();
    if (presses[0] > 0 || presses[1] != presses[2])
        pictureDue = true;
    for (int i = presses[0]; i > 0; --i) {
        isPaused = !isPaused;
        clock.setPaused(isPaused);
        if (music)
            engine.pauseMusic(isPaused);
        std::printf(isPaused ? "paused at %d ms\n" : "playing from %d ms\n", clock.now());
    }
    int steps = presses[2] - presses[1];
    presses.clear();
    if (steps == 0) {
        std::fflush(stdout);
        return false;
    }

    const int now = clock.now();
    return seek(engine, player, now, now + steps * kSeekStepMs);
}

bool PlaybackControl::seek(DemoEngine& engine, ScriptPlayer& player, int now, int target)
{
    pictureDue = true;
    if (target < demoStart)
        target = demoStart;
    // Past the end event the demo would just end.
    const int end = player.endDemoTime();
    if (end >= 0 && target >= end) {
        std::printf("no seek to %d ms: the demo ends at %d ms\n", target, end);
        std::fflush(stdout);
        return false;
    }
    std::printf("seek to %d ms\n", target);
    std::fflush(stdout);
    if (target > now) {
        // Ahead: the sound moves first, so that the clock ignores where it
        // was heard before.
        if (music)
            engine.setMusicTime(engine.musicTimeAt(target));
        player.fastForward(target);
        return false;
    }
    // Back: events are delivered once per start, so the script starts again.
    // The music holds still while the demo is built again, instead of
    // playing on and then jumping back; the start lets it go at the target.
    if (music)
        engine.pauseMusic(true);
    pendingStart = target;
    seekPending = true;
    player.requestRestart();
    return true;
}
