#pragma once
// The process-wide engine: the window and its GL context, the display mode
// for fullscreen, the key state the frame loop reads, and the demo clock.
//
// Created once by the demo run and alive until the process exits; an exit
// handler closes the sound, the window and the context. Messages from the platform layer
// arrive through windowProc, as the window procedure's did.

#include "engine/DemoClock.h"
#include "engine/KeyState.h"
#include "platform/GLWindow.h"
#include "platform/MusicStream.h"

#include <cstdint>
#include <string>

class DemoEngine {
public:
    // Settings that must be fixed before creation. Not part of the original
    // engine: they let capture run without a visible window and let
    // measurements run without waiting for the vertical blank.
    struct Settings {
        bool hiddenWindow = false;
        int swapInterval = 1;
        std::string audioDriver; // the only sound driver to try; empty for any
        // Fullscreen at the monitor's own resolution instead of a windowed
        // run; the demo keeps its resolution (the run scales it).
        bool desktopFullscreen = false;
    };
    static Settings& settings();

    // Creates the singleton once; later calls do nothing. Failures are fatal.
    static void create(bool fullscreen, const char* title, int width, int height, int samples,
                       float anisotropy);
    static DemoEngine* getInstance();

    void swapBuffers();
    void resize(int width, int height);
    // The viewport over the whole picture, as the last resize set it. Each
    // effect takes the screen's size from the viewport as it is made, and a
    // frame ends with the viewport of its top-most effect's rectangle.
    void fullViewport() const;
    bool isActive() const { return active; }
    bool isFullscreen() const { return fullscreen; }

    // The key state (KeyState.h): a tap between two frames is kept for the
    // next one, and an acknowledged press stays acknowledged until the key
    // is let go.
    bool isKeyDown(int vk) const { return keys.isDown(vk); }
    bool isKeyPressedOnce(int vk) const { return keys.isPressedOnce(vk); }
    void setKeyConsumed(int vk, bool flag) { keys.setConsumed(vk, flag); }
    // Both down at one moment since the frame before (a combination).
    bool areKeysHeldTogether(int a, int b) const { return keys.heldTogether(a, b); }
    void clearKeys() { keys.clear(); }
    // The frame has read the keys: the presses kept for it are over.
    void keysReadByFrame() { keys.frameRead(); }

    // The demo clock: the free-running timer, or locked to the music.
    void startTimer() { clock.start(); }
    void setTimerOffset(int ms) { clock.setOffset(ms); }
    int getTime() { return clock.now(); }
    DemoClock& demoClock() { return clock; }

    // The music stream. The run calls these only with music on.
    // Opens the sound output at 44100 Hz with 8 channels; false when it cannot.
    bool initSound();
    // Opens the music file from disk (not through the data archive); false
    // when it cannot be read as music.
    bool openMusic(const char* fileName);
    // Opens the music file again after it changed on disk: the new stream
    // takes the old one's place, which stops; false, keeping the old one,
    // when the new file cannot be read as music. Play it with a start.
    bool reopenMusic(const char* fileName);
    // Where the next playMusic starts, in milliseconds into the music.
    void setMusicTime(int ms);
    // The demo time at which the music's position 0 is heard, for this start
    // of the script on; the locked clock keeps demo time that far from the
    // music's position.
    void setMusicOrigin(int demoMs)
    {
        musicOrigin = demoMs;
        clock.setMusicOrigin(demoMs);
    }
    // The music's position that goes with demo time `demoMs`.
    int musicTimeAt(int demoMs) const { return demoMs - musicOrigin; }
    // Starts the open stream paused at its set time, then lets it play
    // unless `held` (a paused viewer: not a buffer is heard). No channel for
    // it is fatal ("could not play stream").
    void playMusic(bool held = false);
    // Holds the stream where it is, or lets it go on.
    void pauseMusic(bool paused);
    // Demo time follows the music's position from the next start on (true),
    // or the free-running timer (false).
    void lockClockToMusic(bool locked);
    // Closes the stream, if one is open, and the sound output.
    void closeSound();
    bool isSoundInitialised() const { return soundInitialised; }

    // Called with the finished picture right before each buffer swap (capture).
    void setBeforeSwap(void (*hook)(void* user), void* user)
    {
        beforeSwap = hook;
        beforeSwapUser = user;
    }

    // The window procedure: size, activation, close, keys.
    void windowProc(const WindowMessage& msg);

    // The anisotropy handed to the texture layer (0 without the extension).
    float textureAnisotropy() const { return anisotropy; }

    // How many windows this process has created (multisampling makes two).
    static int windowsCreated();

private:
    DemoEngine() = default;
    bool createWindowAndContext(const char* title, int width, int height, bool wantFullscreen);
    void destroyWindowAndContext();
    static void exitHandler();

    bool fullscreen = false;
    bool active = true;
    int samples = 0; // 0: the classic format; otherwise the multisample format found
    float anisotropy = 0.0f;
    int viewWidth = 0; // the picture's size at the last resize
    int viewHeight = 0;
    DemoClock clock;
    bool soundInitialised = false;
    platform::MusicStream* musicStream = nullptr; // owned
    int musicChannel = -1;
    int musicOrigin = 0;
    void (*beforeSwap)(void*) = nullptr;
    void* beforeSwapUser = nullptr;
    KeyState keys;
};

// A request above the driver's maximum becomes the maximum.
float clampAnisotropy(float requested, float maximum);
