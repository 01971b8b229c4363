#pragma once
// The benchmarks' drawing surface: one hidden window of the given size with a
// current context and the extensions loaded, opened on first use and kept for
// the whole program. False when there is no display or no GL.

#include "gl/GLExtensions.h"
#include "platform/GLWindow.h"

#include <GL/gl.h>

inline bool openBenchWindow(int width, int height)
{
    static bool ready = [=] {
        WindowStyle style;
        style.hidden = true;
        if (!platform::initVideo() || !platform::createWindow("bench", width, height, style) ||
            !platform::createContext() || !platform::makeWindowContextCurrent())
            return false;
        initExtensions();
        glViewport(0, 0, width, height);
        return true;
    }();
    return ready;
}
