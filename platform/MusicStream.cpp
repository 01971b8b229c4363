#include "platform/MusicStream.h"

#include "platform/AudioDrivers.h"
#include "platform/MusicPosition.h"

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
// audio thread touches it only under the device's lock (SDL holds the lock
// around the callback).
struct OggMusic {
    OggVorbis_File file;
    int rate = 0;     // of the file, frames per second
    int channels = 0; // of the file
    // Turns the file's samples into the device's; null when they match.
    SDL_AudioStream* converter = nullptr;
    bool decoding = false; // started and not yet played out
    bool paused = false;
    bool endOfFile = false;  // the decoder has given its last sample
    double startMs = 0.0;    // position of the first frame after the last seek
    int64_t framesOut = 0;   // device frames filled since then
    char scratch[4096];      // decoded samples on their way to the converter
};

static bool deviceOpen = false;
static SDL_AudioDeviceID device = 0;
static int deviceRate = 0;
// The stream that holds the music slot, if any; changed under the device's lock.
static OggMusic* playing = nullptr;

// ---------------------------------------------------------------------------
// The audio thread

static bool bigEndian()
{
    return SDL_BYTEORDER == SDL_BIG_ENDIAN;
}

// Decodes up to `len` bytes of 16-bit samples in the file's layout; 0 at the
// end of the file or on an error that ends the stream.
static long decodeSome(OggMusic& music, char* out, int len)
{
    for (;;) {
        int section = 0;
        const long got = ov_read(&music.file, out, len, bigEndian() ? 1 : 0, 2, 1, &section);
        if (got == OV_HOLE)
            continue; // a gap in the data: skip it, as a player of damaged files should
        return got > 0 ? got : 0;
    }
}

// Fills `len` bytes with the music in the device's layout; returns how many
// were filled before the music ended.
static int fillFromMusic(OggMusic& music, Uint8* out, int len)
{
    int filled = 0;
    if (!music.converter) {
        while (filled < len) {
            const long got = decodeSome(music, reinterpret_cast<char*>(out) + filled, len - filled);
            if (got == 0)
                break;
            filled += static_cast<int>(got);
        }
        return filled;
    }
    while (filled < len) {
        const int got = SDL_AudioStreamGet(music.converter, out + filled, len - filled);
        if (got > 0) {
            filled += got;
            continue;
        }
        if (music.endOfFile)
            break;
        const long decoded = decodeSome(music, music.scratch, sizeof music.scratch);
        if (decoded == 0) {
            music.endOfFile = true;
            SDL_AudioStreamFlush(music.converter);
        } else if (SDL_AudioStreamPut(music.converter, music.scratch, static_cast<int>(decoded)) != 0) {
            break;
        }
    }
    return filled;
}

static void SDLCALL fillBuffer(void*, Uint8* out, int len)
{
    SDL_memset(out, 0, len);
    OggMusic* music = playing;
    if (!music || !music->decoding || music->paused) {
        noteMusicPosition(false, 0.0);
        return;
    }
    const double ms = music->startMs + music->framesOut * 1000.0 / deviceRate;
    const int filled = fillFromMusic(*music, out, len) / kBytesPerFrame * kBytesPerFrame;
    music->framesOut += filled / kBytesPerFrame;
    if (filled < len)
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

// Moves the decoder to `ms`, sample-exact; the caller holds the lock when
// the stream plays.
static bool seekMusic(OggMusic& music, int ms)
{
    if (ov_time_seek(&music.file, ms / 1000.0) != 0)
        return false;
    music.startMs = static_cast<double>(ov_pcm_tell(&music.file)) * 1000.0 / music.rate;
    music.framesOut = 0;
    music.endOfFile = false;
    if (music.converter)
        SDL_AudioStreamClear(music.converter);
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
    const vorbis_info* info = ov_info(&music->file, -1);
    if (!info || info->channels <= 0 || info->rate <= 0 || !ov_seekable(&music->file)) {
        ov_clear(&music->file);
        delete music;
        return nullptr;
    }
    music->rate = static_cast<int>(info->rate);
    music->channels = info->channels;
    if (music->rate != deviceRate || music->channels != kDeviceChannels) {
        music->converter = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(music->channels), music->rate,
                                              AUDIO_S16SYS, kDeviceChannels, deviceRate);
        if (!music->converter) {
            ov_clear(&music->file);
            delete music;
            return nullptr;
        }
    }
    return new MusicStream(music);
}

MusicStream::~MusicStream()
{
    {
        DeviceLock lock;
        if (playing == music)
            playing = nullptr;
    }
    if (music->converter)
        SDL_FreeAudioStream(music->converter);
    ov_clear(&music->file);
    delete music;
}

void MusicStream::setTime(int ms)
{
    timeMs = ms < 0 ? 0 : ms;
    const int duration = durationMs();
    DeviceLock lock;
    if (playing != music || !music->decoding)
        return;
    // At or past the end the stream has played out, as a start there would
    // be, so that a clock following the music does not wait for it.
    if ((duration >= 0 && timeMs >= duration) || !seekMusic(*music, timeMs))
        music->decoding = false;
}

int MusicStream::durationMs() const
{
    const double seconds = ov_time_total(&music->file, -1);
    return seconds < 0 ? -1 : static_cast<int>(std::lround(seconds * 1000.0));
}

int MusicStream::play(bool startPaused)
{
    if (!deviceOpen)
        return -1;
    const int duration = durationMs();
    DeviceLock lock;
    playing = music;
    music->paused = startPaused;
    if (duration >= 0 && timeMs >= duration) {
        // Nothing left to hear; the stream counts as played out.
        music->decoding = false;
        return 0;
    }
    // The seek and the start happen under the lock, so not a single buffer
    // is filled before the caller lets the stream go.
    music->decoding = seekMusic(*music, timeMs);
    if (!music->decoding) {
        playing = nullptr;
        return -1;
    }
    return 0;
}

void MusicStream::setPaused(bool paused)
{
    DeviceLock lock;
    if (playing == music)
        music->paused = paused;
}

} // namespace platform
