#include "gl/HeldPicture.h"

#include "gl/GLExtensions.h"
#include "gl/WindowTarget.h"

namespace {

// Binds the window's target for reading (draw == false) or drawing.
void bindWindowTarget(bool draw)
{
    GLuint target = windowFramebuffer();
    glext::glBindFramebuffer(draw ? GL_DRAW_FRAMEBUFFER : GL_READ_FRAMEBUFFER, target);
    GLenum buffer = target ? GL_COLOR_ATTACHMENT0 : GL_BACK;
    if (draw)
        glDrawBuffer(buffer);
    else
        glReadBuffer(buffer);
}

void backToWindowTarget()
{
    glext::glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());
    selectWindowColourBuffers();
}

// A copy between framebuffers that the scissor and the colour mask of the
// demo's last frame must not cut.
void blit(int srcWidth, int srcHeight, int dstWidth, int dstHeight)
{
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    bool same = srcWidth == dstWidth && srcHeight == dstHeight;
    glext::glBlitFramebuffer(0, 0, srcWidth, srcHeight, 0, 0, dstWidth, dstHeight, GL_COLOR_BUFFER_BIT,
                             same ? GL_NEAREST : GL_LINEAR);
    glPopAttrib();
}

} // namespace

bool HeldPicture::makeStorage(int width, int height)
{
    if (!glext::glGenFramebuffers || !glext::glBindFramebuffer || !glext::glGenRenderbuffers ||
        !glext::glRenderbufferStorage || !glext::glFramebufferRenderbuffer || !glext::glBlitFramebuffer ||
        !glext::glCheckFramebufferStatus)
        return false;
    if (framebuffer && width == heldWidth && height == heldHeight)
        return true;
    if (!colour)
        glext::glGenRenderbuffers(1, &colour);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glext::glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (!framebuffer)
        glext::glGenFramebuffers(1, &framebuffer);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glext::glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    bool complete = glext::glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    backToWindowTarget();
    if (!complete) {
        destroy();
        return false;
    }
    heldWidth = width;
    heldHeight = height;
    return true;
}

bool HeldPicture::keep(int width, int height)
{
    kept = false;
    if (width <= 0 || height <= 0 || !makeStorage(width, height))
        return false;
    bindWindowTarget(false);
    glext::glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    blit(width, height, width, height);
    backToWindowTarget();
    kept = true;
    return true;
}

void HeldPicture::restore(int width, int height)
{
    if (!kept || width <= 0 || height <= 0)
        return;
    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    bindWindowTarget(true);
    blit(heldWidth, heldHeight, width, height);
    backToWindowTarget();
}

void HeldPicture::destroy()
{
    if (framebuffer)
        glext::glDeleteFramebuffers(1, &framebuffer);
    if (colour)
        glext::glDeleteRenderbuffers(1, &colour);
    framebuffer = colour = 0;
    heldWidth = heldHeight = 0;
    kept = false;
}
