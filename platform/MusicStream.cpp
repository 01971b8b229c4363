#include "platform/MusicStream.h"

#include "platform/AudioDrivers.h"
#include "platform/MusicPosition.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cmath>
#include <string>
#include <vector>

namespace platform {

// Samples per mixing buffer: 1024 at 44100 Hz keeps the music within 25 ms
// of the picture.
static constexpr int kMixBufferSamples = 1024;

static bool deviceOpen = false;
// The device the mixer opened, for locking out its mixing thread; 0 when it
// could not be told.
static SDL_AudioDeviceID mixerDevice = 0;
// The stream that holds the mixer's music slot, if any.
static MusicStream* playingStream = nullptr;

// Starts the audio subsystem with one driver ("" for SDL's choice) and opens
// the mixer on its default device.
static bool openWithDriver(const std::string& driver, int mixRate, int channels)
{
    if (!driver.empty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!driver.empty())
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started)
        return false;
    Mix_Init(MIX_INIT_OGG);
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, 2, kMixBufferSamples) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(channels);
    return true;
}

bool openSoundDevice(int mixRate, int channels, const std::string& driver)
{
    if (deviceOpen)
        return true;
    std::vector<std::string> available;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
        available.emplace_back(SDL_GetAudioDriver(i));
    bool opened = false;
    for (const std::string& name : audioDriversToTry(driver, SDL_getenv("SDL_AUDIODRIVER"), available)) {
        if (openWithDriver(name, mixRate, channels)) {
            opened = true;
            break;
        }
    }
    if (!opened)
        return false;
    // The mixer does not say which device it opened. It is the only one this
    // process plays, so it is the one device that runs (ids count up from 1).
    mixerDevice = 0;
    for (SDL_AudioDeviceID id = 1; id <= 16; ++id) {
        if (SDL_GetAudioDeviceStatus(id) == SDL_AUDIO_PLAYING) {
            mixerDevice = mixerDevice == 0 ? id : 0;
            if (mixerDevice == 0)
                break;
        }
    }
    watchMusicPosition();
    deviceOpen = true;
    return true;
}

void closeSoundDevice()
{
    if (!deviceOpen)
        return;
    stopWatchingMusicPosition();
    Mix_HaltMusic();
    playingStream = nullptr;
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixerDevice = 0;
    deviceOpen = false;
}

bool soundDeviceOpen()
{
    return deviceOpen;
}

MusicStream* MusicStream::open(const char* path)
{
    if (!deviceOpen)
        return nullptr;
    Mix_Music* music = Mix_LoadMUS(path);
    if (!music)
        return nullptr;
    return new MusicStream(music);
}

MusicStream::~MusicStream()
{
    // Freeing the music halts it; the device may already be closed, in which
    // case the mixer has let go of it.
    if (playingStream == this)
        playingStream = nullptr;
    Mix_FreeMusic(static_cast<Mix_Music*>(music));
}

void MusicStream::setTime(int ms)
{
    timeMs = ms < 0 ? 0 : ms;
    if (playingStream != this || !Mix_PlayingMusic())
        return;
    // At or past the end the stream has played out, as a start there would
    // be: the mixer would refuse the position and play on from where it was,
    // and a clock that follows the music would wait for it.
    const int duration = durationMs();
    if (duration >= 0 && timeMs >= duration)
        Mix_HaltMusic();
    else
        Mix_SetMusicPosition(timeMs / 1000.0);
}

int MusicStream::durationMs() const
{
    const double seconds = Mix_MusicDuration(static_cast<Mix_Music*>(music));
    return seconds < 0 ? -1 : static_cast<int>(std::lround(seconds * 1000.0));
}

int MusicStream::play(bool startPaused)
{
    if (!deviceOpen)
        return -1;
    const int duration = durationMs();
    if (duration >= 0 && timeMs >= duration) {
        // Nothing left to hear; the stream counts as played out.
        Mix_HaltMusic();
        playingStream = this;
        return 0;
    }
    // The start and the pause happen under the mixer's lock, so not a single
    // buffer is mixed before the caller lets the stream go.
    if (mixerDevice)
        SDL_LockAudioDevice(mixerDevice);
    const int result = Mix_FadeInMusicPos(static_cast<Mix_Music*>(music), 1, 0, timeMs / 1000.0);
    if (result == 0 && startPaused)
        Mix_PauseMusic();
    if (mixerDevice)
        SDL_UnlockAudioDevice(mixerDevice);
    if (result != 0)
        return -1;
    playingStream = this;
    return 0;
}

void MusicStream::setPaused(bool paused)
{
    if (playingStream != this)
        return;
    if (paused)
        Mix_PauseMusic();
    else
        Mix_ResumeMusic();
}

} // namespace platform
