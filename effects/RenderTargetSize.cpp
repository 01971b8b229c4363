#include "effects/RenderTargetSize.h"

#include <cerrno>
#include <cstdlib>

namespace {

int roundUpToPowerOfTwo(int side)
{
    int p = 1;
    while (p < side)
        p *= 2;
    return p;
}

int acceptedSide(int side, int maxSide, bool anySize)
{
    if (side < 1)
        side = 1;
    if (!anySize)
        side = roundUpToPowerOfTwo(side);
    return side > maxSide && maxSide > 0 ? maxSide : side;
}

} // namespace

bool parseRenderTargetSizing(const std::string& text, RenderTargetSizing& sizing)
{
    if (text == "window") {
        sizing = {RenderTargetSizing::Mode::Picture, 0};
        return true;
    }
    if (text == "auto") {
        sizing = {};
        return true;
    }
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    char* end = nullptr;
    errno = 0;
    long side = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || side < RenderTargetSizing::kMinSide || side > RenderTargetSizing::kMaxSide)
        return false;
    sizing = {RenderTargetSizing::Mode::Fixed, static_cast<int>(side)};
    return true;
}

void renderTargetSize(const RenderTargetSizing& sizing, int pictureWidth, int pictureHeight, int maxSide,
                      bool anySize, int& width, int& height)
{
    int w = pictureWidth > 0 ? pictureWidth : 1;
    int h = pictureHeight > 0 ? pictureHeight : 1;
    switch (sizing.mode) {
    case RenderTargetSizing::Mode::Grow:
        w = w > sizing.side ? w : sizing.side;
        h = h > sizing.side ? h : sizing.side;
        break;
    case RenderTargetSizing::Mode::Fixed:
        w = h = sizing.side;
        break;
    case RenderTargetSizing::Mode::Picture:
        break;
    }
    width = acceptedSide(w, maxSide, anySize);
    height = acceptedSide(h, maxSide, anySize);
}

int pictureAspect(int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return 133;
    // Rounded to the nearest hundredth: 4:3 gives the classic 133.
    return static_cast<int>((200LL * pictureWidth + pictureHeight) / (2LL * pictureHeight));
}
