#include "app/FrameReadback.h"

#include "gl/GLExtensions.h"

#include <cstdio>

using namespace glext;

FrameReadback::FrameReadback(FrameSink& s)
    : sink(s)
{
}

bool FrameReadback::start()
{
    if (!isExtensionSupported("GL_ARB_pixel_buffer_object") || !glGenBuffersARB || !glBindBufferARB ||
        !glBufferDataARB || !glMapBufferARB || !glUnmapBufferARB || !glDeleteBuffersARB)
        return false;
    glGenBuffersARB(kRing, ring);
    if (ring[0] == 0 || ring[kRing - 1] == 0) {
        release();
        return false;
    }
    width = height = 0;
    next = pending = 0;
    return true;
}

bool FrameReadback::read(int index, int w, int h)
{
    if (w != width || h != height) {
        // A new size: the frames of the old one go first.
        if (!flush())
            return false;
        width = w;
        height = h;
        for (GLuint b : ring) {
            glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, b);
            glBufferDataARB(GL_PIXEL_PACK_BUFFER_ARB, static_cast<GLsizeiptrARB>(w) * h * 4, nullptr,
                            GL_STREAM_READ_ARB);
        }
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    }
    if (pending == kRing && !handOn())
        return false;
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, ring[next]);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    // Screenshots and the held picture read into client memory.
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    indices[next] = index;
    next = (next + 1) % kRing;
    ++pending;
    // Keep one frame in flight: the oldest goes on now.
    if (pending == kRing)
        return handOn();
    return true;
}

bool FrameReadback::handOn()
{
    int oldest = (next - pending + kRing) % kRing;
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, ring[oldest]);
    const void* data = glMapBufferARB(GL_PIXEL_PACK_BUFFER_ARB, GL_READ_ONLY_ARB);
    bool ok = data != nullptr;
    if (!ok)
        std::fprintf(stderr, "vplayer: cannot read frame %d back from the graphics driver\n", indices[oldest]);
    else
        ok = sink.takeFrame(indices[oldest], static_cast<const uint8_t*>(data), width, height);
    if (data)
        glUnmapBufferARB(GL_PIXEL_PACK_BUFFER_ARB);
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    --pending;
    return ok;
}

bool FrameReadback::flush()
{
    while (pending > 0)
        if (!handOn())
            return false;
    return true;
}

void FrameReadback::release()
{
    if (ring[0] != 0 || ring[kRing - 1] != 0)
        glDeleteBuffersARB(kRing, ring);
    for (GLuint& b : ring)
        b = 0;
    pending = 0;
}
