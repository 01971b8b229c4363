#include "app/RunDemo.h"

#include "app/CapabilityCheck.h"
#include "app/FrameCapture.h"
#include "app/RunOptions.h"
#include "engine/DemoEngine.h"
#include "engine/Logging.h"
#include "gl/GLExtensions.h"
#include "gl/TextureManager.h"
#include "platform/GLWindow.h"
#include "platform/MessageBox.h"

#include <GL/gl.h>

RunOptions& currentRunOptions()
{
    static RunOptions options;
    return options;
}

namespace {

// Until the timeline player is built, a frame is an empty picture and Escape
// ends the run.
bool runEmptyFrame(DemoEngine& engine)
{
    if (!engine.isActive())
        return false;
    if (engine.isKeyDown(27))
        return true;
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    engine.swapBuffers();
    return false;
}

} // namespace

int runDemo(bool music, bool fullscreen, int width, int height, int samples, float anisotropy,
            bool logging, bool atiShadows)
{
    (void)music;
    (void)atiShadows;
    const RunOptions& options = currentRunOptions();

    // A message left over from the launcher.
    WindowMessage leftover;
    platform::peekMessage(leftover);

    setLoggingEnabled(logging);

    // Capture plays on its own fixed-step clock in a hidden window.
    FrameCapture* capture = nullptr;
    if (options.capturing()) {
        capture = new FrameCapture(options.captureDir, options.captureFps, options.captureToMs);
        if (!capture->prepare())
            exitProcess(1);
        capture->install();
    }
    DemoEngine::settings().hiddenWindow = capture != nullptr;
    DemoEngine::settings().swapInterval = capture ? 0 : options.swapInterval;
    DemoEngine::create(fullscreen, "Quorvantix", width, height, samples, anisotropy);
    DemoEngine& engine = *DemoEngine::getInstance();

    checkCapabilities();
    if (logging)
        logExtensions();

    // A full build starts from no shared textures (the scene manager joins here).
    TextureManager::getInstance()->releaseAll();

    bool done = false;
    const int demoStart = 0;
    engine.clearKeys();
    engine.startTimer();
    if (capture) {
        capture->begin(demoStart, options.captureFromGiven ? options.captureFromMs : demoStart);
        engine.setBeforeSwap([](void* c) { static_cast<FrameCapture*>(c)->captureFrame(); }, capture);
    }
    while (!done) {
        WindowMessage msg;
        if (platform::peekMessage(msg)) {
            if (msg.type == MessageType::Quit)
                done = true;
            else
                engine.windowProc(msg);
            continue;
        }
        done = runEmptyFrame(engine);
        if (capture && capture->finished())
            done = true;
    }

    if (capture) {
        engine.setBeforeSwap(nullptr, nullptr);
        bool failed = capture->failed();
        setActiveClock(nullptr);
        delete capture;
        if (failed)
            exitProcess(1);
    }

    if (logging)
        TextureManager::getInstance()->dump("vp_log_textures.txt");
    freeExtensions();
    // The scene manager is deleted before the effects, the texture manager after.
    TextureManager::deleteInstance();
    return 0;
}
