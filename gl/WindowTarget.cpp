#include "gl/WindowTarget.h"

#include "gl/GLExtensions.h"
#include "platform/GLWindow.h"

namespace {
GLuint current = 0;
int pictureWidth = 0; // 0: the window's drawable size
int pictureHeight = 0;
}

void setWindowFramebuffer(GLuint framebuffer)
{
    current = framebuffer;
}

GLuint windowFramebuffer()
{
    return current;
}

void selectWindowColourBuffers()
{
    if (current == 0) {
        glDrawBuffer(GL_BACK);
        glReadBuffer(GL_BACK);
        return;
    }
    glext::glBindFramebuffer(GL_FRAMEBUFFER, current);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
}

void setWindowPictureSize(int width, int height)
{
    pictureWidth = width;
    pictureHeight = height;
}

void windowPictureSize(int& width, int& height)
{
    if (pictureWidth > 0 && pictureHeight > 0) {
        width = pictureWidth;
        height = pictureHeight;
        return;
    }
    platform::drawableSize(width, height);
}
