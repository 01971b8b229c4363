#include "engine/DemoClock.h"

#include "platform/Clock.h"

#include <cmath>

// ---------------------------------------------------------------------------
// MusicLock

void MusicLock::reset(double ms, int64_t counter)
{
    anchorMs = ms;
    anchorCounter = counter;
    resetCounter = counter;
    speed = 1.0;
    lastMs = ms;
}

double MusicLock::estimate(int64_t counter, int64_t frequency) const
{
    return anchorMs + static_cast<double>(counter - anchorCounter) * 1000.0 / static_cast<double>(frequency) * speed;
}

double MusicLock::update(int64_t counter, int64_t frequency, const MusicPosition* heard)
{
    double ms = estimate(counter, frequency);
    if (heard && heard->counter >= resetCounter) {
        // Where the music is now: the position heard, moved on by the time
        // since it was heard.
        const double target = heard->ms + static_cast<double>(counter - heard->counter) * 1000.0 / static_cast<double>(frequency);
        const double error = target - ms;
        if (std::fabs(error) > kJumpMs) {
            ms = target;
            speed = 1.0;
        } else {
            double slew = error / kCatchUpMs;
            if (slew > kMaxSlew)
                slew = kMaxSlew;
            if (slew < -kMaxSlew)
                slew = -kMaxSlew;
            speed = 1.0 + slew;
        }
        anchorMs = ms;
        anchorCounter = counter;
    } else if (!heard) {
        // No music (played out, or not yet heard): time runs on at the true rate.
        anchorMs = ms;
        anchorCounter = counter;
        speed = 1.0;
    }
    if (ms < lastMs)
        ms = lastMs;
    lastMs = ms;
    return ms;
}

// ---------------------------------------------------------------------------
// DemoClock

void DemoClock::start()
{
    timer.start();
    if (isPaused)
        restartFrom(pausedAt);
    else
        lock.reset(static_cast<double>(timer.elapsedMs()), activeClock().counter());
}

void DemoClock::setOffset(int ms)
{
    timer.setOffset(ms);
    if (isPaused)
        pausedAt = ms;
    lock.reset(static_cast<double>(timer.elapsedMs()), activeClock().counter());
}

void DemoClock::restartFrom(int ms)
{
    timer.start();
    timer.setOffset(ms);
    lock.reset(static_cast<double>(ms), activeClock().counter());
}

void DemoClock::seek(int ms)
{
    if (isPaused)
        pausedAt = ms;
    restartFrom(ms);
}

void DemoClock::setPaused(bool pause)
{
    if (pause == isPaused)
        return;
    if (pause) {
        pausedAt = now();
        isPaused = true;
    } else {
        isPaused = false;
        restartFrom(pausedAt);
    }
}

int DemoClock::now()
{
    if (isPaused)
        return pausedAt;
    const int64_t timerMs = timer.elapsedMs();
    if (!musicReader)
        return static_cast<int>(timerMs);
    MusicPosition heard;
    const bool playing = musicReader(heard);
    heard.ms += musicOrigin;
    Clock& clock = activeClock();
    return static_cast<int>(std::floor(lock.update(clock.counter(), clock.frequency(), playing ? &heard : nullptr)));
}
