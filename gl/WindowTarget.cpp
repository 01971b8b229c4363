#include "gl/WindowTarget.h"

#include "gl/GLExtensions.h"

namespace {
GLuint current = 0;
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
