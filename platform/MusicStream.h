#pragma once
// The sound output and the streamed soundtrack, on SDL2's own audio and
// libvorbisfile. This stands in for the sound library of the original: a
// device opened at a mix rate, and a music stream read from a file on disk,
// positioned in milliseconds, started paused and then let go.
//
// How it works: the device's callback runs on SDL's audio thread and decodes
// the one stream that holds the music slot straight into the buffer the
// device asks for, at the device's rate and in stereo whatever the file's
// links are (OggPcmReader.h). What the main thread changes about the playing
// stream happens under the device's lock, so a buffer is decoded either
// wholly before or wholly after a change; a seek reads the file, and takes
// the stream off the audio thread while it does instead of holding the lock
// across the disk, so that the device never waits for it. A stream that
// plays holds the slot as its channel 0; starting a stream again restarts it
// from its set time.

#include <string>

namespace platform {

// Opens the audio device (16-bit stereo at mixRate) and starts it playing
// silence; false when no audio driver can be opened. `channels` is the
// number of mixing channels the engine asks for; one stream plays, so it
// needs none of them. `driver` names the only SDL audio driver to try;
// empty tries them as AudioDrivers.h says. SDL_AUDIODRIVER picks one too
// ("disk" writes what would be heard to SDL_DISKAUDIOFILE).
bool openSoundDevice(int mixRate, int channels, const std::string& driver = std::string());
// Closes the device; nothing happens when it is not open.
void closeSoundDevice();
bool soundDeviceOpen();

struct OggMusic; // the decoder behind a stream, shared with the audio thread

class MusicStream {
public:
    // Opens a music file; nullptr when it cannot be read as Ogg Vorbis or the
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
    explicit MusicStream(OggMusic* music) : music(music) {}

    OggMusic* music; // owned
    int timeMs = 0;
};

} // namespace platform
