#include "app/FramePresenter.h"

#include "app/FrameCapture.h"
#include "app/Screenshot.h"
#include "engine/DemoEngine.h"
#include "gl/PngWriter.h"

#include <GL/gl.h>

#include <cstdio>

FramePresenter::~FramePresenter() = default;

void FramePresenter::install(DemoEngine& e)
{
    engine = &e;
    info.create();
    e.setBeforeSwap([](void* p) { static_cast<FramePresenter*>(p)->beforeSwap(); }, this);
}

void FramePresenter::uninstall(DemoEngine& e)
{
    e.setBeforeSwap(nullptr, nullptr);
    info.destroy();
    engine = nullptr;
}

bool FramePresenter::windowMessage(const WindowMessage& msg)
{
    if (msg.type != MessageType::KeyDown && msg.type != MessageType::KeyUp)
        return false;
    bool down = msg.type == MessageType::KeyDown;
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

    if (capture)
        capture->captureFrame();
    if (screenshotPending) {
        screenshotPending = false;
        writeScreenshot();
    }
    if (overlayOn) {
        int w = 0, h = 0;
        platform::drawableSize(w, h);
        int demoTime = engine ? engine->getTime() : 0;
        if (w > 0 && h > 0)
            info.draw(w, h, demoTime, times);
    }
}

void FramePresenter::writeScreenshot()
{
    int w = 0, h = 0;
    platform::drawableSize(w, h);
    if (w <= 0 || h <= 0)
        return;
    size_t bytes = static_cast<size_t>(w) * h * 4;
    if (pixels.size() != bytes)
        pixels.resize(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
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
