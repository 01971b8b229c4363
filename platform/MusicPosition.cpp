#include "platform/MusicPosition.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <mutex>

namespace platform {

namespace {

std::mutex noteMutex;
bool noteValid = false;
double noteMs = 0.0;
int64_t noteCounter = 0;
double bytesPerMs = 0.0; // of the mixer's output, 0 when unknown

void SDLCALL afterMix(void*, Uint8*, int len)
{
    // The mixer's lock is held here; the calls below take it again, which
    // the mixing thread may.
    double ms = -1.0;
    if (Mix_PlayingMusic() && !Mix_PausedMusic())
        ms = Mix_GetMusicPosition(nullptr) * 1000.0;
    const int64_t counter = static_cast<int64_t>(SDL_GetPerformanceCounter());
    std::lock_guard<std::mutex> guard(noteMutex);
    noteValid = ms >= 0.0;
    if (noteValid)
        noteMs = bytesPerMs > 0.0 ? ms - len / bytesPerMs : ms;
    noteCounter = counter;
}

} // namespace

void watchMusicPosition()
{
    int frequency = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) != 0)
        bytesPerMs = frequency * channels * (SDL_AUDIO_BITSIZE(format) / 8) / 1000.0;
    {
        std::lock_guard<std::mutex> guard(noteMutex);
        noteValid = false;
    }
    Mix_SetPostMix(&afterMix, nullptr);
}

void stopWatchingMusicPosition()
{
    Mix_SetPostMix(nullptr, nullptr);
    std::lock_guard<std::mutex> guard(noteMutex);
    noteValid = false;
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
