#include "tools/makeprod/ImageLayerTextures.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

struct Rgb {
    float r, g, b; // 0..1
};

Rgb mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

float clamp01(float v)
{
    return std::min(1.0f, std::max(0.0f, v));
}

// An RGBA picture, top row first, straight (not premultiplied) alpha.
struct Picture {
    int width, height;
    std::vector<uint8_t> rgba;

    Picture(int w, int h) : width(w), height(h), rgba(static_cast<size_t>(w) * h * 4, 0) {}

    void set(int x, int y, Rgb c, float a)
    {
        uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        p[0] = static_cast<uint8_t>(std::lround(clamp01(c.r) * 255.0f));
        p[1] = static_cast<uint8_t>(std::lround(clamp01(c.g) * 255.0f));
        p[2] = static_cast<uint8_t>(std::lround(clamp01(c.b) * 255.0f));
        p[3] = static_cast<uint8_t>(std::lround(clamp01(a) * 255.0f));
    }

    bool save(const std::filesystem::path& path) const
    {
        png_image image;
        std::memset(&image, 0, sizeof image);
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = PNG_FORMAT_RGBA;
        int ok = png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
        if (!ok)
            std::fprintf(stderr, "vp_makeprod: cannot write %s: %s\n", path.c_str(), image.message);
        png_image_free(&image);
        return ok != 0;
    }
};

// ---------------------------------------------------------------------------
// Strokes: line segments drawn as a bright core with a soft glow around it.

struct Segment {
    float x0, y0, x1, y1;
};

float distanceToSegment(float px, float py, const Segment& s)
{
    float dx = s.x1 - s.x0, dy = s.y1 - s.y0;
    float lengthSq = dx * dx + dy * dy;
    float t = lengthSq > 0.0f ? clamp01(((px - s.x0) * dx + (py - s.y0) * dy) / lengthSq) : 0.0f;
    float ex = s.x0 + t * dx - px, ey = s.y0 + t * dy - py;
    return std::sqrt(ex * ex + ey * ey);
}

struct StrokeStyle {
    float halfWidth;  // core half width in pixels
    float glowRadius; // pixels
    float glowAlpha;  // strength of the glow at the core's edge
    Rgb core;
    Rgb glowLeft;     // glow colour at the left edge of the picture
    Rgb glowRight;    // at the right edge
};

// Draws the segments over what the picture holds (alpha composited).
void drawStrokes(Picture& pic, const std::vector<Segment>& segments, const StrokeStyle& st)
{
    if (segments.empty())
        return;
    float minX = 1e9f, minY = 1e9f, maxX = -1e9f, maxY = -1e9f;
    for (const Segment& s : segments) {
        minX = std::min({minX, s.x0, s.x1});
        maxX = std::max({maxX, s.x0, s.x1});
        minY = std::min({minY, s.y0, s.y1});
        maxY = std::max({maxY, s.y0, s.y1});
    }
    const float reach = st.halfWidth + st.glowRadius * 3.0f;
    const int x0 = std::max(0, static_cast<int>(minX - reach));
    const int x1 = std::min(pic.width - 1, static_cast<int>(maxX + reach));
    const int y0 = std::max(0, static_cast<int>(minY - reach));
    const int y1 = std::min(pic.height - 1, static_cast<int>(maxY + reach));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float d = 1e9f;
            for (const Segment& s : segments)
                d = std::min(d, distanceToSegment(px, py, s));
            float core = clamp01(st.halfWidth + 0.5f - d);
            float outside = std::max(0.0f, d - st.halfWidth);
            float glow = st.glowAlpha * std::exp(-(outside * outside) / (st.glowRadius * st.glowRadius));
            float a = std::max(core, glow);
            if (a <= 0.0f)
                continue;
            Rgb glowColour = mix(st.glowLeft, st.glowRight, static_cast<float>(x) / pic.width);
            Rgb c = mix(glowColour, st.core, core);
            // "Over" onto what is there already.
            uint8_t* p = &pic.rgba[(static_cast<size_t>(y) * pic.width + x) * 4];
            float da = p[3] / 255.0f;
            float outA = a + da * (1.0f - a);
            Rgb dst = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
            Rgb out = {(c.r * a + dst.r * da * (1.0f - a)) / outA, (c.g * a + dst.g * da * (1.0f - a)) / outA,
                       (c.b * a + dst.b * da * (1.0f - a)) / outA};
            pic.set(x, y, out, outA);
        }
    }
}

// ---------------------------------------------------------------------------
// A stroke font: each glyph is polylines on a grid 4 wide and 6 high (y down),
// points as "x y" pairs, polylines separated by '|'.

const char* glyphStrokes(char c)
{
    switch (c) {
    case 'A': return "0 6 0 2 2 0 4 2 4 6|0 4 4 4";
    case 'B': return "0 6 0 0 3 0 4 1 4 2 3 3 0 3|3 3 4 4 4 5 3 6 0 6";
    case 'C': return "4 1 3 0 1 0 0 1 0 5 1 6 3 6 4 5";
    case 'D': return "0 0 0 6 3 6 4 5 4 1 3 0 0 0";
    case 'E': return "4 0 0 0 0 6 4 6|0 3 3 3";
    case 'F': return "4 0 0 0 0 6|0 3 3 3";
    case 'G': return "4 1 3 0 1 0 0 1 0 5 1 6 3 6 4 5 4 3 2 3";
    case 'H': return "0 0 0 6|4 0 4 6|0 3 4 3";
    case 'I': return "1 0 3 0|2 0 2 6|1 6 3 6";
    case 'J': return "4 0 4 5 3 6 1 6 0 5";
    case 'K': return "0 0 0 6|4 0 0 4|1 3 4 6";
    case 'L': return "0 0 0 6 4 6";
    case 'M': return "0 6 0 0 2 3 4 0 4 6";
    case 'N': return "0 6 0 0 4 6 4 0";
    case 'O': return "1 0 3 0 4 1 4 5 3 6 1 6 0 5 0 1 1 0";
    case 'P': return "0 6 0 0 3 0 4 1 4 2 3 3 0 3";
    case 'Q': return "1 0 3 0 4 1 4 5 3 6 1 6 0 5 0 1 1 0|2 4 4 6";
    case 'R': return "0 6 0 0 3 0 4 1 4 2 3 3 0 3|2 3 4 6";
    case 'S': return "4 1 3 0 1 0 0 1 0 2 1 3 3 3 4 4 4 5 3 6 1 6 0 5";
    case 'T': return "0 0 4 0|2 0 2 6";
    case 'U': return "0 0 0 5 1 6 3 6 4 5 4 0";
    case 'V': return "0 0 2 6 4 0";
    case 'W': return "0 0 1 6 2 3 3 6 4 0";
    case 'X': return "0 0 4 6|4 0 0 6";
    case 'Y': return "0 0 2 3 4 0|2 3 2 6";
    case 'Z': return "0 0 4 0 0 6 4 6";
    case '0': return "1 0 3 0 4 1 4 5 3 6 1 6 0 5 0 1 1 0|4 1 0 5";
    case '1': return "1 1 2 0 2 6|1 6 3 6";
    case '2': return "0 1 1 0 3 0 4 1 4 2 0 6 4 6";
    case '3': return "0 1 1 0 3 0 4 1 4 2 3 3 1 3|3 3 4 4 4 5 3 6 1 6 0 5";
    case '4': return "3 6 3 0 0 4 4 4";
    case '5': return "4 0 0 0 0 3 3 3 4 4 4 5 3 6 0 6";
    case '6': return "4 1 3 0 1 0 0 1 0 5 1 6 3 6 4 5 4 4 3 3 0 3";
    case '7': return "0 0 4 0 1 6";
    case '8': return "1 0 3 0 4 1 4 2 3 3 1 3 0 2 0 1 1 0|1 3 0 4 0 5 1 6 3 6 4 5 4 4 3 3";
    case '9': return "4 3 1 3 0 2 0 1 1 0 3 0 4 1 4 5 3 6 1 6 0 5";
    case '-': return "1 3 3 3";
    case '.': return "2 5.6 2 6";
    default: return "";
    }
}

constexpr float kGlyphAdvance = 6.0f; // grid units per character, space included
constexpr float kGlyphHeight = 6.0f;

// Appends the segments of `text` centred on (cx, cy), its cap height `size`
// pixels or less so that it is at most `maxWidth` pixels wide; letters are
// slanted by `slant` (grid units across per unit up).
void layoutText(std::vector<Segment>& out, const char* text, float size, float maxWidth, float cx, float cy,
                float slant = 0.0f)
{
    const float widthUnits = std::strlen(text) * kGlyphAdvance - (kGlyphAdvance - 4.0f) + kGlyphHeight * slant;
    size = std::min(size, maxWidth * kGlyphHeight / widthUnits);
    const float scale = size / kGlyphHeight;
    const float left = cx - widthUnits * scale / 2.0f;
    const float top = cy - size / 2.0f;
    for (size_t i = 0; text[i]; ++i) {
        const float originX = left + i * kGlyphAdvance * scale;
        const char* s = glyphStrokes(text[i]);
        bool havePoint = false;
        float px = 0.0f, py = 0.0f;
        while (*s) {
            if (*s == '|') {
                havePoint = false;
                ++s;
                continue;
            }
            char* end = nullptr;
            float gx = std::strtof(s, &end);
            float gy = std::strtof(end, &end);
            s = end;
            while (*s == ' ')
                ++s;
            float x = originX + (gx + (kGlyphHeight - gy) * slant) * scale;
            float y = top + gy * scale;
            if (havePoint)
                out.push_back({px, py, x, y});
            px = x;
            py = y;
            havePoint = true;
        }
    }
}

// ---------------------------------------------------------------------------
// The pictures.

Picture plasma()
{
    // Only whole periods across the picture, so the edges meet when it tiles.
    const int n = 256;
    Picture pic(n, n);
    const Rgb deep = {0.02f, 0.02f, 0.10f}, violet = {0.30f, 0.08f, 0.45f}, teal = {0.05f, 0.45f, 0.50f},
              glow = {0.85f, 0.55f, 0.95f};
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float u = 2.0f * kPi * x / n, v = 2.0f * kPi * y / n;
            float s = std::sin(2.0f * u) + std::sin(3.0f * v) + std::sin(u + 2.0f * v + 1.3f) +
                      std::cos(3.0f * u - v) * 0.7f + std::sin(5.0f * u + 4.0f * v) * 0.3f;
            float t = clamp01((s + 3.3f) / 6.6f);
            Rgb c = t < 0.4f   ? mix(deep, violet, t / 0.4f)
                    : t < 0.8f ? mix(violet, teal, (t - 0.4f) / 0.4f)
                               : mix(teal, glow, (t - 0.8f) / 0.2f);
            pic.set(x, y, c, 1.0f);
        }
    }
    return pic;
}

Picture emblem()
{
    const int n = 256;
    Picture pic(n, n);
    const float c = n / 2.0f;
    // A soft disc behind the lines.
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float dx = x + 0.5f - c, dy = y + 0.5f - c;
            float r = std::sqrt(dx * dx + dy * dy) / c;
            float a = 0.35f * clamp01(1.0f - r * 1.15f);
            float angle = std::atan2(dy, dx);
            Rgb col = mix({0.10f, 0.30f, 0.60f}, {0.50f, 0.10f, 0.55f}, 0.5f + 0.5f * std::sin(angle * 3.0f));
            pic.set(x, y, col, a);
        }
    }
    std::vector<Segment> lines;
    // Two rings as polygons of many sides.
    for (float radius : {118.0f, 96.0f}) {
        const int sides = 96;
        for (int i = 0; i < sides; ++i) {
            float a0 = 2.0f * kPi * i / sides, a1 = 2.0f * kPi * (i + 1) / sides;
            lines.push_back({c + radius * std::cos(a0), c + radius * std::sin(a0), c + radius * std::cos(a1),
                             c + radius * std::sin(a1)});
        }
    }
    // Ticks between the rings, and a double chevron (the production's "V").
    for (int i = 0; i < 24; ++i) {
        float a = kPi * i / 12.0f;
        float inner = i % 6 == 0 ? 100.0f : 104.0f;
        lines.push_back({c + inner * std::cos(a), c + inner * std::sin(a), c + 112.0f * std::cos(a),
                         c + 112.0f * std::sin(a)});
    }
    for (float shift : {0.0f, 30.0f}) {
        lines.push_back({c - 58.0f + shift * 0.55f, c - 46.0f, c, c + 58.0f - shift});
        lines.push_back({c, c + 58.0f - shift, c + 58.0f - shift * 0.55f, c - 46.0f});
    }
    drawStrokes(pic, lines, {2.2f, 7.0f, 0.7f, {1.0f, 0.95f, 0.9f}, {0.2f, 0.8f, 1.0f}, {0.9f, 0.3f, 1.0f}});
    return pic;
}

// One large line, with a small heading above it when `small` is given.
Picture textPicture(int width, const char* small, const char* large)
{
    Picture pic(width, 256);
    const float cx = width / 2.0f, maxWidth = width - 40.0f;
    std::vector<Segment> big, header;
    layoutText(big, large, small ? 60.0f : 80.0f, maxWidth, cx, small ? 160.0f : 128.0f, 0.12f);
    drawStrokes(pic, big, {3.2f, 9.0f, 0.75f, {1.0f, 1.0f, 1.0f}, {0.1f, 0.85f, 1.0f}, {1.0f, 0.25f, 0.75f}});
    if (small) {
        layoutText(header, small, 26.0f, maxWidth, cx, 70.0f);
        drawStrokes(pic, header, {1.6f, 5.0f, 0.6f, {1.0f, 0.9f, 0.6f}, {1.0f, 0.6f, 0.2f}, {1.0f, 0.8f, 0.3f}});
    }
    return pic;
}

enum class Shape { Circle, Triangle, Square, Diamond };

Picture glyph(Shape shape, Rgb colour)
{
    const int n = 128;
    const float c = n / 2.0f, r = 44.0f;
    Picture pic(n, n);
    std::vector<Segment> lines;
    auto polygon = [&](int sides, float start) {
        for (int i = 0; i < sides; ++i) {
            float a0 = start + 2.0f * kPi * i / sides, a1 = start + 2.0f * kPi * (i + 1) / sides;
            lines.push_back({c + r * std::cos(a0), c + r * std::sin(a0), c + r * std::cos(a1), c + r * std::sin(a1)});
        }
    };
    switch (shape) {
    case Shape::Circle: polygon(64, 0.0f); break;
    case Shape::Triangle: polygon(3, -kPi / 2.0f); break;
    case Shape::Square: polygon(4, kPi / 4.0f); break;
    case Shape::Diamond: polygon(4, 0.0f); break;
    }
    drawStrokes(pic, lines, {3.5f, 8.0f, 0.8f, {1.0f, 1.0f, 1.0f}, colour, colour});
    return pic;
}

} // namespace

bool writeImageLayerTextures(const std::string& dir)
{
    std::filesystem::path out = dir;
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        std::fprintf(stderr, "vp_makeprod: cannot create %s: %s\n", out.c_str(), ec.message().c_str());
        return false;
    }
    struct Named {
        const char* name;
        Picture picture;
    };
    const Named pictures[] = {
        {"vp_plasma.png", plasma()},
        {"vp_emblem.png", emblem()},
        {"vp_title.png", textPicture(1024, nullptr, "VELMOR PROCESS")},
        {"vp_credit_code.png", textPicture(512, "CODE", "VPLAYER CREW")},
        {"vp_credit_music.png", textPicture(512, "MUSIC", "SYNTH 125")},
        {"vp_credit_visuals.png", textPicture(512, "VISUALS", "PURE CODE")},
        {"vp_credit_thanks.png", textPicture(512, "THANKS FOR", "WATCHING")},
        {"vp_glyph_circle.png", glyph(Shape::Circle, {0.2f, 0.9f, 1.0f})},
        {"vp_glyph_triangle.png", glyph(Shape::Triangle, {1.0f, 0.3f, 0.7f})},
        {"vp_glyph_square.png", glyph(Shape::Square, {0.5f, 1.0f, 0.3f})},
        {"vp_glyph_diamond.png", glyph(Shape::Diamond, {1.0f, 0.7f, 0.2f})},
    };
    for (const Named& p : pictures)
        if (!p.picture.save(out / p.name))
            return false;
    return true;
}
