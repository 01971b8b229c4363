#include "app/AppIcon.h"

#include <algorithm>
#include <cmath>

namespace {

struct Rgba {
    float r, g, b, a;
};

float clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

// Distance from p to the segment a-b.
float segmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    const float t = clamp01(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy));
    const float qx = ax + t * dx - px, qy = ay + t * dy - py;
    return std::sqrt(qx * qx + qy * qy);
}

// Paints "over" with straight alpha.
void over(Rgba& dst, float r, float g, float b, float a)
{
    a = clamp01(a);
    dst.r = dst.r * (1.0f - a) + r * a;
    dst.g = dst.g * (1.0f - a) + g * a;
    dst.b = dst.b * (1.0f - a) + b * a;
    dst.a = dst.a + a * (1.0f - dst.a);
}

// The icon at one point of the unit square (0,0 top left, 1,1 bottom right).
Rgba shade(float x, float y)
{
    Rgba c = {0, 0, 0, 0};

    // Rounded tile with a vertical gradient from night blue to violet.
    const float corner = 0.18f;
    const float qx = std::max(std::fabs(x - 0.5f) - (0.5f - corner), 0.0f);
    const float qy = std::max(std::fabs(y - 0.5f) - (0.5f - corner), 0.0f);
    if (std::sqrt(qx * qx + qy * qy) > corner)
        return c;
    over(c, 0.05f + 0.20f * y, 0.04f + 0.03f * y, 0.16f + 0.22f * y, 1.0f);

    // The ring: a bright cyan band with a soft halo, slightly above centre.
    const float cx = 0.47f, cy = 0.46f, radius = 0.27f;
    const float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    const float band = std::fabs(d - radius);
    over(c, 0.20f, 0.85f, 1.00f, 0.55f * std::exp(-band * band / 0.004f));
    over(c, 0.75f, 0.97f, 1.00f, band < 0.055f ? 1.0f : 0.0f);

    // The tail of the Q, in orange, crossing the ring's lower right.
    const float tail = segmentDistance(x, y, 0.56f, 0.60f, 0.84f, 0.86f);
    over(c, 1.00f, 0.55f, 0.15f, 0.5f * std::exp(-tail * tail / 0.003f));
    over(c, 1.00f, 0.80f, 0.35f, tail < 0.05f ? 1.0f : 0.0f);

    // A spark in the middle.
    const float spark = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
    over(c, 1.0f, 1.0f, 1.0f, std::exp(-spark * spark / 0.002f));
    return c;
}

} // namespace

std::vector<unsigned char> drawAppIcon(int size)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(size) * size * 4);
    // 4 x 4 samples a pixel smooth the edges at the small sizes.
    const int grid = 4;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < grid; ++sy) {
                for (int sx = 0; sx < grid; ++sx) {
                    const Rgba s = shade((px + (sx + 0.5f) / grid) / size, (py + (sy + 0.5f) / grid) / size);
                    // Premultiply while averaging so that the edge keeps its colour.
                    r += s.r * s.a;
                    g += s.g * s.a;
                    b += s.b * s.a;
                    a += s.a;
                }
            }
            unsigned char* out = &pixels[(static_cast<size_t>(py) * size + px) * 4];
            const float n = static_cast<float>(grid * grid);
            const float alpha = a / n;
            const float inv = a > 0 ? 1.0f / a : 0.0f;
            out[0] = static_cast<unsigned char>(std::lround(clamp01(r * inv) * 255));
            out[1] = static_cast<unsigned char>(std::lround(clamp01(g * inv) * 255));
            out[2] = static_cast<unsigned char>(std::lround(clamp01(b * inv) * 255));
            out[3] = static_cast<unsigned char>(std::lround(clamp01(alpha) * 255));
        }
    }
    return pixels;
}
