// The window and its context are made again when a multisample format is
// taken up, and the extension setup makes and drops a probe window of its own.
// What the X server holds for this process must not grow with each round: a
// window, pixmap, GC or connection left behind there is invisible to the heap
// leak checker, since SDL keeps pointing at what it made.

#include "gl/GLExtensions.h"
#include "platform/GLWindow.h"

// Before Xlib, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XRes.h>
#include <unistd.h>

namespace {

struct XHeld {
    int connections = 0;
    long resources = 0;
    bool operator==(const XHeld& o) const { return connections == o.connections && resources == o.resources; }
};

std::ostream& operator<<(std::ostream& out, const XHeld& h)
{
    return out << h.connections << " connections holding " << h.resources << " resources";
}

// Everything the server holds for the connections of this process, but
// colormaps: SDL leaves one or two on the server for every window it makes
// and destroys, a short program that only does that loses the same.
XHeld heldByThisProcess(Display* display)
{
    const Atom colormap = XInternAtom(display, "COLORMAP", False);
    XHeld held;
    XResClientIdSpec all = {0, XRES_CLIENT_ID_PID_MASK};
    long count = 0;
    XResClientIdValue* ids = nullptr;
    // Unlike the older requests, this one returns Success (0) when it worked.
    if (XResQueryClientIds(display, 1, &all, &count, &ids) != Success)
        return XHeld{-1, -1};
    for (long i = 0; i < count; ++i) {
        if (XResGetClientPid(&ids[i]) != getpid())
            continue;
        ++held.connections;
        int kinds = 0;
        XResType* types = nullptr;
        if (XResQueryClientResources(display, ids[i].spec.client, &kinds, &types)) {
            for (int k = 0; k < kinds; ++k)
                if (types[k].resource_type != colormap)
                    held.resources += types[k].count;
            XFree(types);
        }
    }
    XResClientIdsDestroy(count, ids);
    return held;
}

// The window, its context and the extensions, as the engine sets them up;
// hands back SDL's own display connection.
Display* openAndClose()
{
    WindowStyle style;
    style.hidden = true;
    EXPECT_TRUE(platform::createWindow("x resources", 64, 48, style));
    EXPECT_TRUE(platform::createContext());
    EXPECT_TRUE(platform::makeWindowContextCurrent());
    initExtensions();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    SDL_Window* window = SDL_GL_GetCurrentWindow();
    Display* sdlDisplay = window && SDL_GetWindowWMInfo(window, &info) ? info.info.x11.display : nullptr;
    freeExtensions();
    platform::destroyContext();
    platform::destroyWindow();
    return sdlDisplay;
}

} // namespace

TEST(XResources, WindowsAndContextsMadeAgainLeaveNothingBehindOnTheServer)
{
    ASSERT_TRUE(platform::initVideo());
    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    int event = 0, error = 0;
    if (!XResQueryExtension(display, &event, &error)) {
        XCloseDisplay(display);
        GTEST_SKIP() << "the X server has no X-Resource extension";
    }
    // The first round sets up what SDL and the driver keep for the process.
    Display* sdlDisplay = openAndClose();
    ASSERT_NE(sdlDisplay, nullptr);
    // The server has done all SDL asked for before it is asked what it holds.
    XSync(sdlDisplay, False);
    const XHeld before = heldByThisProcess(display);
    ASSERT_GT(before.connections, 0) << "the server does not tell which process a connection belongs to";

    for (int round = 0; round < 3; ++round)
        openAndClose();
    XSync(sdlDisplay, False);
    EXPECT_EQ(heldByThisProcess(display), before);
    XCloseDisplay(display);
}
