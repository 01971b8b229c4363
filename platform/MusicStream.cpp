#include "platform/MusicStream.h"

#include "platform/AudioDrivers.h"
#include "platform/MusicPosition.h"
#include "platform/OggPcmReader.h"

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Frames per device buffer: 1024 at 44100 Hz keeps the music within 25 ms
// of the picture.
static constexpr int kBufferFrames = 1024;
static constexpr int kDeviceChannels = 2;
static constexpr int kBytesPerFrame = kDeviceChannels * 2; // 16-bit stereo

// What the main thread and the audio thread share about one open file. The
// audio thread reads the file only while the stream holds the music slot and
// decodes; the main thread changes that only under the device's lock (SDL
// holds it around the callback), and moves the file only while it does not.
struct OggMusic {
    OggVorbis_File file;
    OggPcmReader reader; // the file at the device's rate, in stereo
    int durationMs = -1; // of the whole file, -1 when unknown
    bool decoding = false; // started and not yet played out
    bool paused = false;
    double startMs = 0.0;  // position of the first frame after the last seek
    int64_t framesOut = 0; // device frames filled since then
};

static bool deviceOpen = false;
static SDL_AudioDeviceID device = 0;
static int deviceRate = 0;
// The stream that holds the music slot, if any; changed under the device's lock.
static OggMusic* playing = nullptr;

// ---------------------------------------------------------------------------
// The audio thread

static void SDLCALL fillBuffer(void*, Uint8* out, int len)
{
    SDL_memset(out, 0, len);
    OggMusic* music = playing;
    if (!music || !music->decoding || music->paused) {
        noteMusicPosition(false, 0.0);
        return;
    }
    const double ms = music->startMs + music->framesOut * 1000.0 / deviceRate;
    const int frames = len / kBytesPerFrame;
    const int filled = music->reader.read(reinterpret_cast<int16_t*>(out), frames);
    music->framesOut += filled;
    if (filled < frames)
        music->decoding = false; // played out; the rest of the buffer stays silent
    noteMusicPosition(filled > 0, ms);
}

// ---------------------------------------------------------------------------
// The device

// Starts the audio subsystem with one driver ("" for SDL's choice) and opens
// its default device in the layout the decoder writes; SDL converts to the
// hardware's.
static bool openWithDriver(const std::string& driver, int mixRate)
{
    if (!driver.empty())
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
    const bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (!driver.empty())
        SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (!started)
        return false;
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = mixRate;
    want.format = AUDIO_S16SYS;
    want.channels = kDeviceChannels;
    want.samples = kBufferFrames;
    want.callback = &fillBuffer;
    SDL_AudioSpec have;
    device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    deviceRate = have.freq;
    return true;
}

bool openSoundDevice(int mixRate, int /*channels*/, const std::string& driver)
{
    if (deviceOpen)
        return true;
    std::vector<std::string> available;
    for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
        available.emplace_back(SDL_GetAudioDriver(i));
    bool opened = false;
    for (const std::string& name : audioDriversToTry(driver, SDL_getenv("SDL_AUDIODRIVER"), available)) {
        if (openWithDriver(name, mixRate)) {
            opened = true;
            break;
        }
    }
    if (!opened)
        return false;
    watchMusicPosition();
    deviceOpen = true;
    // From here on the device plays: silence until a stream starts.
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void closeSoundDevice()
{
    if (!deviceOpen)
        return;
    stopWatchingMusicPosition();
    SDL_CloseAudioDevice(device); // waits for the callback to return
    playing = nullptr;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = 0;
    deviceOpen = false;
}

bool soundDeviceOpen()
{
    return deviceOpen;
}

// ---------------------------------------------------------------------------
// The stream

// Holds the device's lock for a scope, so the audio thread sees a change whole.
class DeviceLock {
public:
    DeviceLock()
    {
        if (deviceOpen)
            SDL_LockAudioDevice(device);
    }
    ~DeviceLock()
    {
        if (deviceOpen)
            SDL_UnlockAudioDevice(device);
    }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
};

// Takes the stream off the audio thread's hands for as long as the caller
// reads its file: a buffer due meanwhile is silence rather than waiting for
// the disk. Returns whether it was decoding, to be handed back.
static bool holdOff(OggMusic& music)
{
    DeviceLock lock;
    const bool was = playing == &music && music.decoding;
    music.decoding = false;
    return was;
}

// Moves the decoder to `ms`; only while the audio thread does not decode it.
static bool seekMusic(OggMusic& music, int ms)
{
    if ((music.durationMs >= 0 && ms >= music.durationMs) || !music.reader.seek(ms, music.startMs))
        return false;
    music.framesOut = 0;
    return true;
}

MusicStream* MusicStream::open(const char* path)
{
    if (!deviceOpen)
        return nullptr;
    OggMusic* music = new OggMusic;
    if (ov_fopen(path, &music->file) != 0) {
        delete music;
        return nullptr;
    }
    if (!ov_seekable(&music->file) || !music->reader.open(music->file, {deviceRate, kDeviceChannels})) {
        ov_clear(&music->file);
        delete music;
        return nullptr;
    }
    // Read here once: the file's index does not change while it is open.
    const double seconds = ov_time_total(&music->file, -1);
    music->durationMs = seconds < 0 ? -1 : static_cast<int>(std::lround(seconds * 1000.0));
    return new MusicStream(music);
}

MusicStream::~MusicStream()
{
    {
        DeviceLock lock;
        if (playing == music)
            playing = nullptr;
    }
    ov_clear(&music->file);
    delete music;
}

void MusicStream::setTime(int ms)
{
    timeMs = ms < 0 ? 0 : ms;
    if (!holdOff(*music))
        return;
    // At or past the end the stream has played out, as a start there would
    // be, so that a clock following the music does not wait for it.
    const bool reached = seekMusic(*music, timeMs);
    DeviceLock lock;
    music->decoding = reached;
}

int MusicStream::durationMs() const
{
    return music->durationMs;
}

int MusicStream::play(bool startPaused)
{
    if (!deviceOpen)
        return -1;
    holdOff(*music);
    const bool pastEnd = music->durationMs >= 0 && timeMs >= music->durationMs;
    const bool reached = !pastEnd && seekMusic(*music, timeMs);
    // The start happens under the lock, so not a single buffer is filled
    // before the caller lets the stream go.
    DeviceLock lock;
    music->paused = startPaused;
    music->decoding = reached;
    if (!reached && !pastEnd) {
        if (playing == music)
            playing = nullptr;
        return -1;
    }
    // Past the end there is nothing left to hear; the stream counts as played out.
    playing = music;
    return 0;
}
void MusicStream::setPaused(bool paused)
{
    DeviceLock lock;
    if (playing == music)
        music->paused = paused;
}

} // namespace platform
