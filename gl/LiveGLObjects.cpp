#include "gl/LiveGLObjects.h"

#include "gl/GLExtensions.h"

#include <GL/gl.h>

namespace {

// GL hands out names counting up from 1 and reuses freed ones, so the live
// names lie below the highest ever given; the scan ends after a long run of
// free names.
template <typename IsName>
int countNames(IsName isName)
{
    constexpr unsigned kGapToEnd = 4096;
    int count = 0;
    unsigned gap = 0;
    for (unsigned name = 1; gap < kGapToEnd; ++name) {
        if (isName(name)) {
            ++count;
            gap = 0;
        } else {
            ++gap;
        }
    }
    return count;
}

} // namespace

int liveGLNames(IsGLName isName)
{
    return countNames([isName](unsigned name) { return isName(name) == GL_TRUE; });
}

int liveGLTextures()
{
    return countNames([](unsigned name) { return glIsTexture(name) == GL_TRUE; });
}

int liveGLFramebuffers()
{
    if (!glext::glIsFramebuffer)
        return -1;
    return countNames([](unsigned name) { return glext::glIsFramebuffer(name) == GL_TRUE; });
}

int liveGLRenderbuffers()
{
    if (!glext::glIsRenderbuffer)
        return -1;
    return countNames([](unsigned name) { return glext::glIsRenderbuffer(name) == GL_TRUE; });
}

int liveGLQueries()
{
    if (!glext::glIsQueryARB)
        return -1;
    return countNames([](unsigned name) { return glext::glIsQueryARB(name) == GL_TRUE; });
}
