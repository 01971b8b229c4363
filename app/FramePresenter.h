#pragma once
// What happens to a finished frame between the demo's last effect and the
// buffer swap, in this order:
//   1. capture reads the picture (FrameCapture);
//   2. a screenshot asked for with F12 reads it and writes a PNG file;
//   3. when the demo draws off screen at its own resolution (fit), the
//      picture is scaled into the window with its aspect kept;
//   4. the F1 overlay is drawn over it in the window, at the window's size.
// So neither captures nor screenshots ever contain the overlay. While paused,
// the picture is kept after step 2 and later frames show it again
// (HeldPicture.h) instead of drawing the demo.
//
// Fit: Auto draws off screen whenever the window's size differs from the
// demo's (a resized window, desktop fullscreen), On always, Off never (the
// demo then draws at the window's size and a resize stretches it).
//
// A picture narrower or lower than 512 pixels is drawn off screen too, in the
// corner of a framebuffer of at least 512 x 512, and shown 1:1: the filters
// draw their source into a square of up to 512 pixels from that corner and
// copy it back, and in a small window part of that square would lie outside
// anything drawn. Larger pictures without fitting go straight to the window.
//
// It also measures the real time between frames for the overlay and sees
// every window message before the engine does, to act on its own keys (F1,
// F12, Alt+Enter for desktop fullscreen): each press counts once, however
// short, and a held key repeats nothing. While fitting, size changes are its
// own: the demo keeps its resolution.
//
// Owned by the demo run, installed as the engine's before-swap hook once the
// engine exists; lives until the run ends.

#include "app/FitMode.h"
#include "app/FrameTimeWindow.h"
#include "app/InfoOverlay.h"
#include "gl/DemoFramebuffer.h"
#include "gl/HeldPicture.h"
#include "platform/GLWindow.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class DemoEngine;
class FrameCapture;

class FramePresenter {
public:
    static constexpr int kKeyF1 = 0x70;
    static constexpr int kKeyF12 = 0x7B;
    static constexpr int kKeyAlt = 0x12;
    static constexpr int kKeyEnter = 0x0D;

    using Fit = FitMode;

    FramePresenter() = default;
    ~FramePresenter();

    // Before install: how the demo's picture of demoWidth x demoHeight
    // reaches the window.
    void configureFit(Fit mode, int demoWidth, int demoHeight);
    bool fitting() const { return fitOn; }
    // Whether the demo draws into the off-screen framebuffer (fitting, or a
    // small picture).
    bool offScreen() const { return offScreenOn; }

    // The smallest side of the framebuffer the demo draws into: the largest
    // square a filter captures.
    static constexpr int kMinTargetSide = 512;

    // Makes the GL objects and installs the hook; needs the engine's context.
    void install(DemoEngine& engine);
    // Frames go to this capture from now on (not owned; null for none).
    void setCapture(FrameCapture* c) { capture = c; }
    void uninstall(DemoEngine& engine);

    // Sees a window message first; true when it was the presenter's alone
    // (the engine must not see it).
    bool windowMessage(const WindowMessage& msg);

    void setOverlayVisible(bool on) { overlayOn = on; }
    bool overlayVisible() const { return overlayOn; }
    // Lines the overlay shows, shown even without F1, until cleared with "".
    void setNotice(const char* text) { info.setNotice(text); }
    void requestScreenshot() { screenshotPending = true; }
    // The folder screenshots are written to ("." by default).
    void setScreenshotFolder(const std::string& folder) { screenshotFolder = folder; }
    const std::string& lastScreenshot() const { return lastScreenshotPath; }
    const InfoOverlay& overlay() const { return info; }

    // While on, each finished picture is kept (before the overlay) to be
    // shown again by showHeldPicture: a paused run.
    void setKeepPicture(bool on) { keepPicture = on; }
    bool holdsPicture() const { return held.isKept(); }
    void dropHeldPicture() { held.drop(); }
    // Puts the kept picture back and finishes the frame as a drawn one is
    // finished (screenshot, fit, overlay, swap).
    void showHeldPicture();

    // The hook body; public for tests that drive frames by hand.
    void beforeSwap();

private:
    void writeScreenshot();
    // Chooses, after a size change, where the demo draws: the window or the
    // framebuffer, made again when the picture's size changed.
    void updateTarget();
    // The size of the demo's picture: the framebuffer's or the window's.
    void targetSize(int& w, int& h) const;

    FrameCapture* capture = nullptr;
    DemoEngine* engine = nullptr;
    InfoOverlay info;
    FrameTimeWindow times;
    std::chrono::steady_clock::time_point lastFrame;
    bool haveLastFrame = false;
    bool overlayOn = false;
    bool f1Down = false;
    bool f12Down = false;
    bool altDown = false;
    bool enterDown = false;
    Fit fitMode = Fit::Off;
    bool fitOn = false;
    bool offScreenOn = false;
    bool framebufferRefused = false; // the driver cannot: draw to the window
    int demoWidth = 0;
    int demoHeight = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    DemoFramebuffer framebuffer;
    HeldPicture held;
    bool keepPicture = false;
    bool screenshotPending = false;
    std::string screenshotFolder = ".";
    std::string lastScreenshotPath;
    std::vector<uint8_t> pixels; // one picture, sized by the first screenshot
};
