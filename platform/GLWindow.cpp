#include "platform/GLWindow.h"

#include "platform/Interruption.h"
#include "platform/KeyCodes.h"
#include "platform/WglExtensionList.h"

#include <SDL.h>
#include <SDL_opengl.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

// Xlib's default reaction to a lost display runs the exit handlers, whose
// window teardown then waits forever on the dead connection. Nothing of the
// window can be saved at that point: say so and leave at once.
int onDisplayLost(Display*)
{
    static const char text[] = "error: lost the connection to the display\n";
    ssize_t ignored = write(2, text, sizeof text - 1);
    (void)ignored;
    _exit(1);
}

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
// Every context made gets the next number; a handle alone may be reused by a
// context made after another was deleted.
unsigned long lastContextSerial = 0;
unsigned long windowContextSerial = 0;
// Created by createSharedContext and not yet deleted, each with its serial.
std::vector<std::pair<SDL_GLContext, unsigned long>> sharedContextSerials;
int windowSamples = 0; // the multisample count the window's format got
bool videoStarted = false;
bool quitPosted = false;
std::string wglList;
bool wglListBuilt = false;

void setPixelFormatAttributes(int samples)
{
    // The classic descriptor: RGBA, 24-bit depth, 8-bit stencil, double buffer.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    // Any version will do: the engine asks for features by extension. SDL's
    // default request (2.1) is refused by a driver whose extensions, as
    // overridden for tests, only add up to an older version.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples > 0 ? samples : 0);
}

bool hasGlExtension(const char* name)
{
    return SDL_GL_ExtensionSupported(name) == SDL_TRUE;
}

// Tries a hidden window with a multisample format; restores the current context.
bool probeMultisample(int samples)
{
    SDL_Window* savedWindow = SDL_GL_GetCurrentWindow();
    SDL_GLContext savedContext = SDL_GL_GetCurrentContext();
    setPixelFormatAttributes(samples);
    bool found = false;
    SDL_Window* probe = SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (probe) {
        SDL_GLContext ctx = SDL_GL_CreateContext(probe);
        if (ctx) {
            int buffers = 0, got = 0;
            SDL_GL_GetAttribute(SDL_GL_MULTISAMPLEBUFFERS, &buffers);
            SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &got);
            found = buffers > 0 && got >= samples;
            SDL_GL_DeleteContext(ctx);
        }
        SDL_DestroyWindow(probe);
    }
    setPixelFormatAttributes(windowSamples);
    // SDL's off-screen driver keeps one EGL config, the one the last window
    // was made with, and makes every new context with it: left at the
    // probe's, the buffers' contexts would not match the window. A window
    // made and dropped again puts the window's config back.
    if (window && std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") == 0) {
        SDL_Window* again = SDL_CreateWindow("probe", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (again)
            SDL_DestroyWindow(again);
    }
    if (savedWindow && savedContext)
        SDL_GL_MakeCurrent(savedWindow, savedContext);
    return found;
}

} // namespace

namespace platform {

bool initVideo(bool offscreen)
{
    if (videoStarted)
        return true;
    // With an X display, go straight to it: probing Wayland first only prints
    // complaints on machines without a Wayland session.
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool driverChosen = std::getenv("SDL_VIDEODRIVER") != nullptr;
    const bool x11 = !driverChosen && display && *display;
    if (x11)
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    else if (!driverChosen && offscreen && !(wayland && *wayland))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        // A DISPLAY left behind by a session that has gone (an ssh -X login,
        // a stopped Xvfb) names no server: off screen then, as without one.
        if (!(x11 && offscreen))
            return false;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
            return false;
    }
    XSetIOErrorHandler(&onDisplayLost);
    videoStarted = true;
    return true;
}

bool fullscreenModeAvailable(int width, int height)
{
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && mode.w == width && mode.h == height)
            return true;
    }
    return false;
}

bool createWindow(const char* title, int width, int height, const WindowStyle& style)
{
    setPixelFormatAttributes(style.samples);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style.popup)
        flags |= SDL_WINDOW_BORDERLESS;
    else
        flags |= SDL_WINDOW_RESIZABLE;
    if (style.fullscreenMode)
        flags |= SDL_WINDOW_FULLSCREEN;
    else if (style.desktopFullscreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    int pos = style.popup ? 0 : SDL_WINDOWPOS_CENTERED;
    windowSamples = style.samples;
    window = SDL_CreateWindow(title, pos, pos, width, height, flags);
    if (!window && style.samples > 0) {
        // A refused multisample request falls back silently to the plain format.
        setPixelFormatAttributes(0);
        windowSamples = 0;
        window = SDL_CreateWindow(title, pos, pos, width, height, flags);
    }
    if (!window)
        return false;
    if (style.fullscreenMode) {
        SDL_DisplayMode want = {};
        want.w = width;
        want.h = height;
        SDL_DisplayMode closest;
        if (SDL_GetClosestDisplayMode(0, &want, &closest))
            SDL_SetWindowDisplayMode(window, &closest);
    }
    SDL_ShowCursor(style.popup || style.desktopFullscreen ? SDL_DISABLE : SDL_ENABLE);
    wglListBuilt = false;
    return true;
}

bool createContext()
{
    context = SDL_GL_CreateContext(window);
    if (!context) {
        // The multisample visual may take no context; the plain one will.
        setPixelFormatAttributes(0);
        context = SDL_GL_CreateContext(window);
    }
    windowContextSerial = context ? ++lastContextSerial : 0;
    return context != nullptr;
}

bool makeWindowContextCurrent()
{
    return window && context && SDL_GL_MakeCurrent(window, context) == 0;
}

void destroyContext()
{
    if (context) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    wglListBuilt = false;
}

void destroyWindow()
{
    if (window) {
        SDL_DestroyWindow(window);
        window = nullptr;
        SDL_ShowCursor(SDL_ENABLE);
    }
}

void showWindow()
{
    if (!window)
        return;
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
}

bool windowExists()
{
    return window != nullptr;
}

bool peekMessage(WindowMessage& msg)
{
    // A signal ends the run once, as the quit message would.
    static bool interruptionSeen = false;
    if (!interruptionSeen && interruptingSignal()) {
        interruptionSeen = true;
        msg = WindowMessage{MessageType::Quit, 0, 0};
        return true;
    }
    if (quitPosted) {
        quitPosted = false;
        msg = WindowMessage{MessageType::Quit, 0, 0};
        return true;
    }
    SDL_Event ev;
    if (!SDL_PollEvent(&ev))
        return false;
    msg = WindowMessage{};
    switch (ev.type) {
    case SDL_QUIT:
        msg.type = MessageType::Close;
        break;
    case SDL_WINDOWEVENT:
        switch (ev.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
            msg.type = MessageType::Size;
            drawableSize(msg.param1, msg.param2);
            break;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
            msg.type = MessageType::Activate;
            msg.param1 = 1;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SHOWN:
            msg.type = MessageType::Activate;
            msg.param1 = 0;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            msg.type = MessageType::Close;
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int vk = virtualKeyFromSdl(ev.key.keysym.sym);
        if (vk >= 0) {
            msg.type = ev.type == SDL_KEYDOWN ? MessageType::KeyDown : MessageType::KeyUp;
            msg.param1 = vk;
        }
        break;
    }
    default:
        break;
    }
    return true;
}

void postQuitMessage()
{
    quitPosted = true;
}

void swapBuffers()
{
    if (window)
        SDL_GL_SwapWindow(window);
}

bool setSwapInterval(int interval)
{
    return SDL_GL_SetSwapInterval(interval) == 0;
}

void* getProcAddress(const char* name)
{
    return SDL_GL_GetProcAddress(name);
}

void drawableSize(int& width, int& height)
{
    width = height = 0;
    if (window)
        SDL_GL_GetDrawableSize(window, &width, &height);
}

int contextSamples()
{
    int samples = 0;
    SDL_GL_GetAttribute(SDL_GL_MULTISAMPLESAMPLES, &samples);
    return samples;
}

bool multisampleFormatAvailable(int samples)
{
    return samples > 0 && probeMultisample(samples);
}

const char* emulatedWglExtensions()
{
    if (!wglListBuilt) {
        WglCapabilities caps;
        caps.framebufferObjects = hasGlExtension("GL_ARB_framebuffer_object") ||
                                  hasGlExtension("GL_EXT_framebuffer_object");
        caps.depthAttachments = hasGlExtension("GL_ARB_depth_texture");
        caps.multisampleVisuals = probeMultisample(2);
        wglList = buildWglExtensionList(caps, std::getenv("VP_HIDE_EXTENSIONS"));
        wglListBuilt = true;
    }
    return wglList.c_str();
}

ContextHandle windowContext()
{
    return context;
}

ContextHandle currentContext()
{
    return SDL_GL_GetCurrentContext();
}

unsigned long contextSerial(ContextHandle ctx)
{
    if (!ctx)
        return 0;
    if (ctx == context)
        return windowContextSerial;
    for (const auto& entry : sharedContextSerials)
        if (entry.first == ctx)
            return entry.second;
    return 0;
}

int liveSharedContexts()
{
    return static_cast<int>(sharedContextSerials.size());
}

void forEachContext(void (*visit)(void* user), void* user)
{
    if (!window || !context)
        return;
    SDL_GLContext saved = SDL_GL_GetCurrentContext();
    SDL_GL_MakeCurrent(window, context);
    visit(user);
    for (const auto& shared : sharedContextSerials) {
        SDL_GL_MakeCurrent(window, shared.first);
        visit(user);
    }
    SDL_GL_MakeCurrent(window, saved ? saved : context);
}

ContextHandle createSharedContext()
{
    if (!window || !context)
        return nullptr;
    SDL_GLContext saved = SDL_GL_GetCurrentContext();
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
    SDL_GL_MakeCurrent(window, context);
    SDL_GLContext shared = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    SDL_GL_MakeCurrent(window, saved ? saved : context);
    if (shared)
        sharedContextSerials.emplace_back(shared, ++lastContextSerial);
    return shared;
}

bool makeCurrent(ContextHandle ctx)
{
    return window && ctx && SDL_GL_MakeCurrent(window, static_cast<SDL_GLContext>(ctx)) == 0;
}

void deleteContext(ContextHandle ctx)
{
    if (!ctx)
        return;
    if (SDL_GL_GetCurrentContext() == ctx)
        SDL_GL_MakeCurrent(window, context);
    SDL_GL_DeleteContext(static_cast<SDL_GLContext>(ctx));
    for (size_t i = 0; i < sharedContextSerials.size(); ++i) {
        if (sharedContextSerials[i].first == ctx) {
            sharedContextSerials.erase(sharedContextSerials.begin() + static_cast<long>(i));
            break;
        }
    }
}

} // namespace platform

namespace platform {

bool setDesktopFullscreen(bool on)
{
    if (!window)
        return false;
    if (SDL_SetWindowFullscreen(window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0)
        return false;
    SDL_ShowCursor(on ? SDL_DISABLE : SDL_ENABLE);
    return true;
}

bool isFullscreen()
{
    return window && (SDL_GetWindowFlags(window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0;
}

} // namespace platform
