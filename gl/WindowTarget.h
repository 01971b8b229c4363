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

// The size of the picture the demo draws, in pixels: the window's, or the
// picture's in the framebuffer that stands in for it (the framebuffer's
// storage may be larger). Whoever chooses the target says; until then, and
// after a 0 x 0, it is the window's drawable size. Effects that draw off
// screen and lay their picture over the whole screen size and shape their
// drawing by it.
void setWindowPictureSize(int width, int height);
void windowPictureSize(int& width, int& height);
