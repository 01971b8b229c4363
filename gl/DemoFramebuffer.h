#pragma once
// The demo's picture at its own resolution, off screen, shown scaled into a
// window of any shape with its aspect kept (black bars), so that a 4:3 demo
// on a 16:9 desktop looks as it was made to.
//
// The storage can be larger than the picture, which then sits in its
// lower-left corner: the filters draw and copy fixed squares from that corner
// (up to 512 pixels), and in a smaller picture those squares must still lie
// in pixels that were drawn.
//
// While the demo draws, the framebuffer is bound for drawing and reading in
// the window context and registered as the window's target
// (WindowTarget.h): the viewport, the copies from the "back buffer" and the
// read-backs of the effects all see a window of the demo's size. present()
// scales it into the real window and leaves the window bound, for what is
// drawn over it at the window's size (the overlay); bind() makes it the
// target again for the next frame.
//
// Owned by the frame presenter; GL objects are made once by create.

#include <GL/gl.h>

// The largest rectangle of the demo's shape inside the window, centred, in
// window pixels (x, y from the bottom left).
void fitRectangle(int demoWidth, int demoHeight, int windowWidth, int windowHeight, int& x, int& y, int& w,
                  int& h);

class DemoFramebuffer {
public:
    ~DemoFramebuffer();

    // Colour and depth-stencil storage for a picture of width x height, at
    // least minSide on each side; false, with nothing made, when the driver
    // has no framebuffer objects or refuses.
    bool create(int width, int height, int minSide = 0);
    void destroy();
    bool isCreated() const { return framebuffer != 0; }
    // The picture's size (the storage may be larger).
    int width() const { return demoWidth; }
    int height() const { return demoHeight; }

    // Makes it the window's target, bound for drawing and reading.
    void bind();
    // Scales the picture into the window (black around it) and binds the window.
    void present(int windowWidth, int windowHeight);
    // Makes the window itself the target again.
    void release();

private:
    GLuint framebuffer = 0;
    GLuint colour = 0;       // renderbuffer, RGBA8
    GLuint depthStencil = 0; // renderbuffer, 24-bit depth and 8-bit stencil
    int demoWidth = 0;
    int demoHeight = 0;
};
