#pragma once
// The engine's window and its GL context on SDL2. This replaces the window
// class, the window procedure's message source, the display-mode change, the
// pixel format and the WGL context of the original: the engine drives it step
// by step, in the order it always did, and maps each failure to its own text.
//
// There is one engine window per process. Off-screen buffers get contexts of
// their own that share objects with the window's (see createSharedContext).

enum class MessageType { Quit, Size, Activate, Close, KeyDown, KeyUp, Other };

// One window message. Size: param1 = width, param2 = height (drawable pixels).
// Activate: param1 = 1 while minimised. KeyDown/KeyUp: param1 = virtual-key code.
struct WindowMessage {
    MessageType type = MessageType::Other;
    int param1 = 0;
    int param2 = 0;
};

struct WindowStyle {
    bool fullscreenMode = false; // switch the display to width x height
    bool popup = false;          // borderless, no cursor (the fullscreen branch's style)
    int samples = 0;             // multisample count, 0 for none
    bool hidden = false;         // never shown (off-screen capture)
    bool desktopFullscreen = false; // covers the monitor at its own resolution, no mode change
};

namespace platform {

using ContextHandle = void*;

// Starts the video subsystem ("registering the window class"). With
// `offscreen` set and no display named (DISPLAY, WAYLAND_DISPLAY) nor a
// driver chosen (SDL_VIDEODRIVER), it starts SDL's off-screen driver, whose
// windows are never shown and whose GL comes from EGL without a window
// system: a capture then runs on a server or in CI with no X server at all.
// So it does when DISPLAY names an X server that cannot be reached.
bool initVideo(bool offscreen = false);
// True when the display offers exactly width x height.
bool fullscreenModeAvailable(int width, int height);
// Creates the window with its GL pixel format; false when refused.
bool createWindow(const char* title, int width, int height, const WindowStyle& style);
bool createContext();
bool makeWindowContextCurrent();
void destroyContext();
void destroyWindow();
void showWindow();
bool windowExists();

// Removes the next pending message; false when none is pending.
bool peekMessage(WindowMessage& msg);
void postQuitMessage();

void swapBuffers();
bool setSwapInterval(int interval);
void* getProcAddress(const char* name);
void drawableSize(int& width, int& height);
// Switches between a window and fullscreen at the monitor's own resolution
// (no display mode change); the size change arrives as a Size message.
bool setDesktopFullscreen(bool on);
bool isFullscreen();
int contextSamples();

// True when a multisample pixel format with this many samples can be made.
bool multisampleFormatAvailable(int samples);

// The WGL extension names this layer can stand in for, separated by blanks,
// minus the names listed in VP_HIDE_EXTENSIONS. Needs a current context.
const char* emulatedWglExtensions();

// Contexts for off-screen buffers: they share objects with the window's
// context and draw through the window's drawable.
ContextHandle windowContext();
ContextHandle currentContext();
ContextHandle createSharedContext();
bool makeCurrent(ContextHandle context);
void deleteContext(ContextHandle context);
// Shared contexts created and not yet deleted (the window's own not counted).
int liveSharedContexts();
// A number that names `context` for as long as it lives and is never given
// to another context in the run; 0 for none or one that has been deleted.
// Objects that contexts do not share (queries, framebuffers) note it to be
// deleted in their own context later.
unsigned long contextSerial(ContextHandle context);
// Calls `visit` with the window's context current, then with each live shared
// context current, and makes the context current at the call current again.
// For health records of objects a context keeps for itself (occlusion
// queries): switching contexts is too slow for every frame.
void forEachContext(void (*visit)(void* user), void* user);

} // namespace platform
