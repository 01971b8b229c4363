#include "platform/MusicPosition.h"

#include <SDL.h>

#include <mutex>

namespace platform {

namespace {

std::mutex noteMutex;
bool watching = false;
bool noteValid = false;
double noteMs = 0.0;
int64_t noteCounter = 0;

} // namespace

void watchMusicPosition()
{
    std::lock_guard<std::mutex> guard(noteMutex);
    watching = true;
    noteValid = false;
}

void stopWatchingMusicPosition()
{
    std::lock_guard<std::mutex> guard(noteMutex);
    watching = false;
    noteValid = false;
}

void noteMusicPosition(bool heard, double ms)
{
    const int64_t counter = static_cast<int64_t>(SDL_GetPerformanceCounter());
    std::lock_guard<std::mutex> guard(noteMutex);
    if (!watching)
        return;
    noteValid = heard;
    if (heard)
        noteMs = ms;
    noteCounter = counter;
}

bool heardMusicPosition(double& ms, int64_t& counter)
{
    std::lock_guard<std::mutex> guard(noteMutex);
    if (!noteValid)
        return false;
    ms = noteMs;
    counter = noteCounter;
    return true;
}

} // namespace platform
