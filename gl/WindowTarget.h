#pragma once
// Where the window context's picture goes: the window's back buffer, or an
// off-screen framebuffer of the demo's resolution that stands in for it while
// the picture is scaled into a window of another shape, or while the window
// is too small for the filters' capture squares (DemoFramebuffer.h).
// Code that hands drawing back to the window context selects its buffers
// through here instead of naming GL_BACK.

#include <GL/gl.h>

// 0: the window itself.
void setWindowFramebuffer(GLuint framebuffer);
GLuint windowFramebuffer();
// Binds the window's target for drawing and reading in the current (window)
// context and selects its colour buffer.
void selectWindowColourBuffers();
