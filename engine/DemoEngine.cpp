#include "engine/DemoEngine.h"

#include "engine/Effect.h"
#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "gl/Texture.h"
#include "platform/MessageBox.h"
#include "platform/MusicPosition.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstdlib>

namespace {
DemoEngine* instance = nullptr;
bool engineExists = false;
int windowCount = 0;
} // namespace

DemoEngine::Settings& DemoEngine::settings()
{
    static Settings s;
    return s;
}

DemoEngine* DemoEngine::getInstance()
{
    return instance;
}

int DemoEngine::windowsCreated()
{
    return windowCount;
}

float clampAnisotropy(float requested, float maximum)
{
    return requested > maximum ? maximum : requested;
}

void DemoEngine::create(bool fullscreen, const char* title, int width, int height, int samples,
                        float anisotropy)
{
    if (instance)
        return;
    DemoEngine* e = new DemoEngine();
    instance = e;
    std::atexit(&DemoEngine::exitHandler);

    if (!e->createWindowAndContext(title, width, height, fullscreen))
        errorBox("OpenGL init failed", true);

    // A multisample format can only be looked for once a context exists; the
    // window is then made again with it.
    initExtensions();
    if (samples > 0 && isExtensionSupported("WGL_ARB_multisample") &&
        platform::multisampleFormatAvailable(samples)) {
        bool wasFullscreen = e->fullscreen;
        e->destroyWindowAndContext();
        freeExtensions();
        e->samples = samples;
        if (!e->createWindowAndContext(title, width, height, wasFullscreen))
            errorBox("OpenGL init failed", true);
        initExtensions();
    }

    engineExists = true;
    if (!settings().hiddenWindow)
        platform::showWindow();
    platform::setSwapInterval(settings().swapInterval);
    e->resize(width, height);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    e->clearKeys();

    if (isExtensionSupported("GL_EXT_texture_filter_anisotropic")) {
        GLfloat maximum = 0.0f;
        glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
        e->anisotropy = clampAnisotropy(anisotropy, maximum);
    }
    Texture::setAnisotropy(e->anisotropy);
}

bool DemoEngine::createWindowAndContext(const char* title, int width, int height, bool wantFullscreen)
{
    // A hidden window (capture) needs no display: off screen without one.
    if (!platform::initVideo(settings().hiddenWindow)) {
        showMessageBox("error", "could not register window class", BoxIcon::Information);
        return false;
    }

    WindowStyle style;
    style.samples = samples;
    style.hidden = settings().hiddenWindow;
    style.desktopFullscreen = settings().desktopFullscreen && !wantFullscreen;
    if (wantFullscreen) {
        style.popup = true;
        if (!platform::fullscreenModeAvailable(width, height)) {
            // Running windowed keeps the fullscreen branch's borderless style.
            if (!askYesNo("Error", "requested fullscreen mode not supported, run windowed?"))
                return false;
            wantFullscreen = false;
        }
        style.fullscreenMode = wantFullscreen;
    }

    if (!platform::createWindow(title, width, height, style)) {
        destroyWindowAndContext();
        showMessageBox("error", "window creation error", BoxIcon::Warning);
        return false;
    }
    ++windowCount;
    fullscreen = wantFullscreen;

    if (!platform::createContext()) {
        destroyWindowAndContext();
        errorBox("DemoEngine: Could not create GL context", true);
    }
    if (!platform::makeWindowContextCurrent()) {
        destroyWindowAndContext();
        errorBox("DemoEngine: Could not activate GL context", true);
    }
    return true;
}

void DemoEngine::destroyWindowAndContext()
{
    platform::destroyContext();
    platform::destroyWindow();
    fullscreen = false;
}

void DemoEngine::exitHandler()
{
    if (!instance)
        return;
    // Closing the sound output again is harmless after closeSound; on a
    // fatal exit it also lets go of the stream.
    if (instance->soundInitialised) {
        delete instance->musicStream;
        instance->musicStream = nullptr;
        platform::closeSoundDevice();
    }
    instance->destroyWindowAndContext();
    delete instance;
    instance = nullptr;
    engineExists = false;
}

void DemoEngine::swapBuffers()
{
    if (beforeSwap)
        beforeSwap(beforeSwapUser);
    platform::swapBuffers();
}

void DemoEngine::resize(int width, int height)
{
    if (height == 0)
        height = 1;
    viewWidth = width;
    viewHeight = height;
    // Effects place their rectangles in the picture they draw into, so the
    // effects already built follow the new size too, not only those built
    // after it.
    Effect::screenWidth = width;
    Effect::screenHeight = height;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 1.0, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void DemoEngine::fullViewport() const
{
    glViewport(0, 0, viewWidth, viewHeight);
}

void DemoEngine::windowProc(const WindowMessage& msg)
{
    if (msg.type == MessageType::Close) {
        platform::postQuitMessage();
        return;
    }
    if (!engineExists)
        return;
    switch (msg.type) {
    case MessageType::Size:
        resize(msg.param1, msg.param2);
        break;
    case MessageType::Activate:
        active = msg.param1 == 0;
        break;
    case MessageType::KeyDown:
        keys.keyDown(msg.param1);
        break;
    case MessageType::KeyUp:
        keys.keyUp(msg.param1);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Music

bool DemoEngine::initSound()
{
    soundInitialised = platform::openSoundDevice(44100, 8, settings().audioDriver);
    return soundInitialised;
}

bool DemoEngine::openMusic(const char* fileName)
{
    delete musicStream;
    musicStream = platform::MusicStream::open(fileName);
    return musicStream != nullptr;
}

bool DemoEngine::reopenMusic(const char* fileName)
{
    platform::MusicStream* fresh = platform::MusicStream::open(fileName);
    if (!fresh)
        return false;
    delete musicStream;
    musicStream = fresh;
    return true;
}

void DemoEngine::setMusicTime(int ms)
{
    if (musicStream)
        musicStream->setTime(ms);
}

void DemoEngine::playMusic(bool held)
{
    musicChannel = musicStream ? musicStream->play(true) : -1;
    if (musicChannel == -1)
        errorBox("could not play stream", true);
    if (!held)
        musicStream->setPaused(false);
}

void DemoEngine::pauseMusic(bool paused)
{
    if (musicStream)
        musicStream->setPaused(paused);
}

static bool readHeardMusic(MusicPosition& heard)
{
    return platform::heardMusicPosition(heard.ms, heard.counter);
}

void DemoEngine::lockClockToMusic(bool locked)
{
    clock.lockToMusic(locked ? &readHeardMusic : nullptr);
}

void DemoEngine::closeSound()
{
    delete musicStream;
    musicStream = nullptr;
    platform::closeSoundDevice();
}
