#include "gl/DemoFramebuffer.h"

#include "gl/GLExtensions.h"
#include "gl/WindowTarget.h"

void fitRectangle(int demoWidth, int demoHeight, int windowWidth, int windowHeight, int& x, int& y, int& w, int& h)
{
    if (demoWidth <= 0 || demoHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) {
        x = y = w = h = 0;
        return;
    }
    // Compare windowWidth / windowHeight with demoWidth / demoHeight without division.
    long long wide = static_cast<long long>(windowWidth) * demoHeight;
    long long tall = static_cast<long long>(windowHeight) * demoWidth;
    if (wide >= tall) {
        // Bars left and right.
        h = windowHeight;
        w = static_cast<int>((static_cast<long long>(windowHeight) * demoWidth + demoHeight / 2) / demoHeight);
    } else {
        w = windowWidth;
        h = static_cast<int>((static_cast<long long>(windowWidth) * demoHeight + demoWidth / 2) / demoWidth);
    }
    if (w > windowWidth)
        w = windowWidth;
    if (h > windowHeight)
        h = windowHeight;
    x = (windowWidth - w) / 2;
    y = (windowHeight - h) / 2;
}

DemoFramebuffer::~DemoFramebuffer()
{
    // The context may be gone at exit; the objects go with it.
}

bool DemoFramebuffer::create(int width, int height, int minSide)
{
    if (framebuffer)
        return true;
    if (!glext::glGenFramebuffers || !glext::glBindFramebuffer || !glext::glGenRenderbuffers ||
        !glext::glRenderbufferStorage || !glext::glFramebufferRenderbuffer || !glext::glBlitFramebuffer ||
        !glext::glCheckFramebufferStatus)
        return false;
    demoWidth = width;
    demoHeight = height;
    const int storageWidth = width > minSide ? width : minSide;
    const int storageHeight = height > minSide ? height : minSide;
    glext::glGenRenderbuffers(1, &colour);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glext::glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, storageWidth, storageHeight);
    glext::glGenRenderbuffers(1, &depthStencil);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
    glext::glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, storageWidth, storageHeight);
    glext::glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glext::glGenFramebuffers(1, &framebuffer);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glext::glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glext::glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencil);
    bool complete = glext::glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        destroy();
        return false;
    }
    // Starts black, as a new window does.
    glext::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return true;
}

void DemoFramebuffer::destroy()
{
    if (windowFramebuffer() == framebuffer && framebuffer != 0)
        release();
    if (framebuffer)
        glext::glDeleteFramebuffers(1, &framebuffer);
    if (colour)
        glext::glDeleteRenderbuffers(1, &colour);
    if (depthStencil)
        glext::glDeleteRenderbuffers(1, &depthStencil);
    framebuffer = colour = depthStencil = 0;
}

void DemoFramebuffer::bind()
{
    setWindowFramebuffer(framebuffer);
    selectWindowColourBuffers();
}

void DemoFramebuffer::release()
{
    setWindowFramebuffer(0);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    selectWindowColourBuffers();
}

void DemoFramebuffer::present(int windowWidth, int windowHeight)
{
    int x = 0, y = 0, w = 0, h = 0;
    fitRectangle(demoWidth, demoHeight, windowWidth, windowHeight, x, y, w, h);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDrawBuffer(GL_BACK);
    glReadBuffer(GL_BACK);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPopAttrib();
    glext::glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glext::glBlitFramebuffer(0, 0, demoWidth, demoHeight, x, y, x + w, y + h, GL_COLOR_BUFFER_BIT,
                             w == demoWidth && h == demoHeight ? GL_NEAREST : GL_LINEAR);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
}
