#pragma once
// The last picture the demo drew, kept off screen while the run is paused,
// so that a paused run shows that very picture again instead of drawing the
// frame once more: effects that build on the previous frame (trails, noise)
// would otherwise go on changing a picture that should stand still.
//
// keep() copies the window's target (the back buffer, or the fit
// framebuffer) as it is; restore() copies it back, scaled when the target's
// size changed meanwhile. Both leave the window's target bound. Needs
// framebuffer objects; without them nothing is kept and the caller draws.
//
// The storage is made on the first keep and again only when the size changes.

#include <GL/gl.h>

class HeldPicture {
public:
    // Copies width x height pixels of the window's target; false when the
    // driver has no framebuffer objects.
    bool keep(int width, int height);
    // Draws the kept picture over the whole target of width x height.
    void restore(int width, int height);
    bool isKept() const { return kept; }
    // Forgets the picture (storage stays for the next keep).
    void drop() { kept = false; }
    // Needs the context the picture was kept in.
    void destroy();

private:
    bool makeStorage(int width, int height);

    GLuint framebuffer = 0;
    GLuint colour = 0;
    int heldWidth = 0;
    int heldHeight = 0;
    bool kept = false;
};
