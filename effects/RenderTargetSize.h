#pragma once
// How large the shared render target of the wrapped 3D effects is drawn.
//
// Grow (the default): 1024 x 1024, the size the effects were made at, for
// every picture up to 1024 on a side; a larger picture makes the target grow
// to it on the sides where it is larger, so that a wrapped scene is never
// stretched up on a 1280x720 or 1920x1080 screen.
// Fixed: a square of the given side at every picture size (1024 keeps the
// classic size everywhere; 2048 supersamples video).
// Picture: the picture's own size at every size, the cheapest on a software
// renderer (half the pixels of 1024 x 1024 at 800x600).
//
// Where the GL takes textures of power-of-two sides only, each side is
// rounded up to one; no side goes beyond the largest the GL accepts. The
// target is always stretched over the whole picture, so a larger target only
// samples the scene more finely.
//
// Chosen with --render-target SIZE|window or the production.ini key
// "render-target".

#include <string>

struct RenderTargetSizing {
    enum class Mode { Grow, Fixed, Picture };
    Mode mode = Mode::Grow;
    int side = 1024; // pixels on a side: the classic size, or the fixed one

    static constexpr int kClassicSide = 1024;
    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 16384;

    bool operator==(const RenderTargetSizing& o) const { return mode == o.mode && side == o.side; }
};

// "window", "auto" (the default rule) or a side in pixels from kMinSide to
// kMaxSide; false for anything else, leaving `sizing` as it was.
bool parseRenderTargetSizing(const std::string& text, RenderTargetSizing& sizing);

// The target's width and height for a picture of pictureWidth x
// pictureHeight (a picture of no size counts as 1 x 1). maxSide: the GL's
// largest texture and renderbuffer side; anySize: whether it takes sides
// that are not powers of two.
void renderTargetSize(const RenderTargetSizing& sizing, int pictureWidth, int pictureHeight, int maxSide,
                      bool anySize, int& width, int& height);

// The camera aspect in hundredths for a wrapped scene laid over a picture of
// this size: its own shape (133 at 4:3, 178 at 16:9); 133 for a picture of
// no size.
int pictureAspect(int pictureWidth, int pictureHeight);
