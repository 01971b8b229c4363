#pragma once
// The sound output and the streamed soundtrack, on SDL2_mixer. This stands in
// for the sound library of the original: a device opened at a mix rate with a
// number of mixing channels, and a music stream read from a file on disk,
// positioned in milliseconds, started paused and then let go.
//
// The mixer has a single music slot; a stream that plays holds it as its
// channel 0. Starting a stream again restarts it from its set time.

#include <string>

namespace platform {

// Opens the audio device (16-bit stereo) and the mixer; false when no audio
// driver can be opened. `driver` names the only SDL audio driver to try;
// empty tries them as AudioDrivers.h says. SDL_AUDIODRIVER picks one too
// ("disk" writes what would be heard to SDL_DISKAUDIOFILE).
bool openSoundDevice(int mixRate, int channels, const std::string& driver = std::string());
// Closes the mixer and the device; nothing happens when they are not open.
void closeSoundDevice();
bool soundDeviceOpen();

class MusicStream {
public:
    // Opens a music file; nullptr when it cannot be read as music or the
    // device is not open.
    static MusicStream* open(const char* path);
    // Stops the stream when it plays.
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Where the next play starts, in milliseconds from the start of the file;
    // moves a playing stream there at once (at or past the end: the stream
    // has played out and stops). Negative times count as 0.
    void setTime(int ms);
    // Starts the stream from its set time, paused when asked. Returns the
    // channel, or -1 when the stream cannot be started. A set time at or
    // past the end starts nothing and counts as a stream that has finished.
    int play(bool startPaused);
    void setPaused(bool paused);

    // Length of the file in milliseconds, -1 when unknown.
    int durationMs() const;

private:
    explicit MusicStream(void* music) : music(music) {}

    void* music; // Mix_Music
    int timeMs = 0;
};

} // namespace platform
