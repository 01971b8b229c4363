#include "app/FramePresenter.h"

#include "app/FrameCapture.h"
#include "app/Screenshot.h"
#include "engine/DemoEngine.h"
#include "gl/PngWriter.h"
#include "gl/WindowTarget.h"

#include <GL/gl.h>

#include <cstdio>

FramePresenter::~FramePresenter() = default;

void FramePresenter::configureFit(Fit mode, int w, int h)
{
    fitMode = mode;
    demoWidth = w;
    demoHeight = h;
}

void FramePresenter::updateTarget()
{
    if (windowWidth <= 0 || windowHeight <= 0)
        return; // minimised: nothing to fit or to draw
    bool fit = fitMode == Fit::On ||
               (fitMode == Fit::Auto && (windowWidth != demoWidth || windowHeight != demoHeight));
    int w = fit ? demoWidth : windowWidth;
    int h = fit ? demoHeight : windowHeight;
    bool small = w < kMinTargetSide || h < kMinTargetSide;
    bool want = (fit || small) && !framebufferRefused;
    if (want && framebuffer.isCreated() && (framebuffer.width() != w || framebuffer.height() != h))
        framebuffer.destroy(); // also makes the window the target again
    if (want && !framebuffer.isCreated() && !framebuffer.create(w, h, kMinTargetSide)) {
        if (fit)
            std::fprintf(stderr, "vplayer: no framebuffer objects: the picture is not fitted to the window\n");
        else
            std::fprintf(stderr, "vplayer: no framebuffer objects: filters in a window under %d pixels read "
                                 "outside the picture\n",
                         kMinTargetSide);
        framebufferRefused = true;
        fitMode = Fit::Off;
        want = false;
        fit = false;
    }
    fitOn = fit;
    if (want)
        framebuffer.bind();
    else if (offScreenOn)
        framebuffer.release();
    offScreenOn = want;
    // The wrapped scenes size their target and shape their cameras by it.
    if (fit)
        setWindowPictureSize(demoWidth, demoHeight);
    else
        setWindowPictureSize(windowWidth, windowHeight);
}

void FramePresenter::install(DemoEngine& e)
{
    engine = &e;
    info.create();
    platform::drawableSize(windowWidth, windowHeight);
    updateTarget();
    e.setBeforeSwap([](void* p) { static_cast<FramePresenter*>(p)->beforeSwap(); }, this);
}

void FramePresenter::uninstall(DemoEngine& e)
{
    e.setBeforeSwap(nullptr, nullptr);
    info.destroy();
    held.destroy();
    if (offScreenOn)
        framebuffer.release();
    fitOn = false;
    offScreenOn = false;
    framebuffer.destroy();
    setWindowPictureSize(0, 0);
    engine = nullptr;
}

bool FramePresenter::windowMessage(const WindowMessage& msg)
{
    if (msg.type == MessageType::Size) {
        windowWidth = msg.param1;
        windowHeight = msg.param2;
        updateTarget();
        return fitOn;
    }
    if (msg.type != MessageType::KeyDown && msg.type != MessageType::KeyUp)
        return false;
    bool down = msg.type == MessageType::KeyDown;
    if (msg.param1 == kKeyAlt) {
        altDown = down;
        return false;
    }
    if (msg.param1 == kKeyEnter && (altDown || enterDown)) {
        if (down && !enterDown)
            platform::setDesktopFullscreen(!platform::isFullscreen());
        enterDown = down;
        return true;
    }
    if (msg.param1 == kKeyF1) {
        if (down && !f1Down)
            overlayOn = !overlayOn;
        f1Down = down;
        return true;
    }
    if (msg.param1 == kKeyF12) {
        if (down && !f12Down)
            screenshotPending = true;
        f12Down = down;
        return true;
    }
    return false;
}

void FramePresenter::beforeSwap()
{
    auto now = std::chrono::steady_clock::now();
    if (haveLastFrame) {
        int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(now - lastFrame).count();
        int64_t nowUs = std::chrono::duration_cast<std::chrono::microseconds>(now.time_since_epoch()).count();
        times.add(nowUs, us);
    }
    lastFrame = now;
    haveLastFrame = true;

    if (capture) {
        int w = 0, h = 0;
        targetSize(w, h);
        capture->captureFrame(w, h);
    }
    if (screenshotPending) {
        screenshotPending = false;
        writeScreenshot();
    }
    if (keepPicture) {
        int w = 0, h = 0;
        targetSize(w, h);
        held.keep(w, h);
    }
    if (offScreenOn)
        framebuffer.present(windowWidth, windowHeight);
    if (overlayOn || info.hasNotice()) {
        int w = 0, h = 0;
        platform::drawableSize(w, h);
        int demoTime = engine ? engine->getTime() : 0;
        if (w > 0 && h > 0)
            info.draw(w, h, demoTime, times);
    }
    if (offScreenOn)
        framebuffer.bind();
}

void FramePresenter::targetSize(int& w, int& h) const
{
    if (offScreenOn) {
        w = framebuffer.width();
        h = framebuffer.height();
    } else {
        platform::drawableSize(w, h);
    }
}

void FramePresenter::showHeldPicture()
{
    int w = 0, h = 0;
    targetSize(w, h);
    held.restore(w, h);
    bool keep = keepPicture;
    keepPicture = false;
    if (engine)
        engine->swapBuffers();
    keepPicture = keep;
}

void FramePresenter::writeScreenshot()
{
    // The demo's picture: the off-screen one when drawn off screen.
    int w = 0, h = 0;
    targetSize(w, h);
    if (w <= 0 || h <= 0)
        return;
    size_t bytes = static_cast<size_t>(w) * h * 4;
    if (pixels.size() != bytes)
        pixels.resize(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    selectWindowColourBuffers();
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    std::string path = nextScreenshotPath(screenshotFolder);
    if (path.empty() || !writePNG(path.c_str(), w, h, pixels.data())) {
        std::fprintf(stderr, "vplayer: cannot write screenshot '%s'\n", path.c_str());
        return;
    }
    lastScreenshotPath = path;
    std::printf("screenshot: %s\n", path.c_str());
    std::fflush(stdout);
}
