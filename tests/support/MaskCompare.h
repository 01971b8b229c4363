#pragma once
// Compares a captured picture with another renderer's picture of the same
// scene by where things are, not by their shading: each picture becomes
// masks, one per hue (red, yellow, green, cyan, blue, magenta) plus one for
// grey or white surfaces, over a dark background, and the masks are held
// against each other by overlap (intersection over union), centre (the
// mask's centroid, in pixels) and scale (the spread of all foreground
// pixels about their centroid, captured over reference).
//
// Lighting changes a surface's brightness but keeps its hue, so a lit
// capture matches a flat-shaded reference; a mirror, a flip, a turn or a
// wrong field of view moves or resizes some mask and does not.

#include "support/GoldenCompare.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace maskcompare {

// The goldens' picture and reader: 8-bit RGB, top row first.
using golden::Picture;
using golden::readPng;

constexpr int kClasses = 8; // background, six hues, grey
inline const char* className(int c)
{
    static const char* names[kClasses] = {"background", "red", "yellow", "green", "cyan", "blue", "magenta", "grey"};
    return names[c];
}

// Darker than this (the brightest channel, 0..255) is background. Low: a
// face turned away from the light keeps only the ambient share, which some
// materials make faint, and it is still there. The fidelity test's moving
// camera sees cube sides turned from its light at 10 to 31, which Blender
// shows in their full colour; the cleared background is 0, and below 10 lie
// only edge pixels half covered.
constexpr int kDark = 10;
// Below this saturation a surface counts as grey: highlights and mixed
// texels at a border between two hues.
constexpr double kGrey = 0.35;

inline int classify(int r, int g, int b)
{
    int hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi < kDark)
        return 0;
    if (double(hi - lo) / hi < kGrey)
        return 7;
    double d = hi - lo, h;
    if (hi == r)
        h = std::fmod((g - b) / d + 6.0, 6.0);
    else if (hi == g)
        h = (b - r) / d + 2.0;
    else
        h = (r - g) / d + 4.0;
    return 1 + int(std::lround(h)) % 6;
}

struct ClassFigures {
    int wantPixels = 0, gotPixels = 0;
    double iou = 1.0;
    double offset = 0.0; // pixels between the centroids
};

struct Figures {
    bool sameSize = false;
    double iou = 0.0;    // of all foreground
    double offset = 0.0; // pixels between the foreground centroids
    double scale = 0.0;  // captured spread over reference spread
    ClassFigures classes[kClasses];
};

// A mask smaller than this in both pictures is left out of the per-hue
// figures: a few pixels of an edge say nothing about where a part is.
constexpr int kSmallestPart = 40;

inline Figures measure(const Picture& want, const Picture& got)
{
    Figures f;
    f.sameSize = want.width == got.width && want.height == got.height && want.width > 0 && want.height > 0;
    if (!f.sameSize)
        return f;
    struct Sums {
        double n = 0, x = 0, y = 0, xx = 0, yy = 0;
        void add(int px, int py)
        {
            n += 1;
            x += px;
            y += py;
            xx += double(px) * px;
            yy += double(py) * py;
        }
        double cx() const { return x / n; }
        double cy() const { return y / n; }
        double spread() const { return std::sqrt((xx / n - cx() * cx()) + (yy / n - cy() * cy())); }
    };
    Sums wantAll, gotAll, wantPart[kClasses], gotPart[kClasses];
    long both = 0, either = 0, bothPart[kClasses] = {}, eitherPart[kClasses] = {};
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            size_t i = 3 * (size_t(y) * size_t(want.width) + size_t(x));
            int a = classify(want.rgb[i], want.rgb[i + 1], want.rgb[i + 2]);
            int b = classify(got.rgb[i], got.rgb[i + 1], got.rgb[i + 2]);
            if (a) {
                wantAll.add(x, y);
                wantPart[a].add(x, y);
            }
            if (b) {
                gotAll.add(x, y);
                gotPart[b].add(x, y);
            }
            both += a && b;
            either += a || b;
            if (a && a == b) {
                ++bothPart[a];
                ++eitherPart[a];
            } else {
                eitherPart[a] += a != 0;
                eitherPart[b] += b != 0;
            }
        }
    f.iou = either ? double(both) / double(either) : 1.0;
    if (wantAll.n > 0 && gotAll.n > 0) {
        f.offset = std::hypot(gotAll.cx() - wantAll.cx(), gotAll.cy() - wantAll.cy());
        f.scale = wantAll.spread() > 0 ? gotAll.spread() / wantAll.spread() : 0.0;
    } else {
        f.offset = wantAll.n == gotAll.n ? 0.0 : 1e9;
        f.scale = wantAll.n == gotAll.n ? 1.0 : 0.0;
    }
    for (int c = 1; c < kClasses; ++c) {
        ClassFigures& p = f.classes[c];
        p.wantPixels = int(wantPart[c].n);
        p.gotPixels = int(gotPart[c].n);
        p.iou = eitherPart[c] ? double(bothPart[c]) / double(eitherPart[c]) : 1.0;
        if (p.wantPixels > 0 && p.gotPixels > 0)
            p.offset = std::hypot(gotPart[c].cx() - wantPart[c].cx(), gotPart[c].cy() - wantPart[c].cy());
        else
            p.offset = p.wantPixels == p.gotPixels ? 0.0 : 1e9;
    }
    return f;
}

// What a match allows: the reference and the capture come from different
// renderers (edges rasterised differently, texels filtered differently), so
// a few pixels along every edge differ; a part in the wrong place or a
// picture a few percent too large or small does not pass.
struct Limits {
    double iou = 0.90;
    double partIou = 0.75;
    double offset = 1.5;     // pixels, all foreground
    double partOffset = 3.0; // pixels, each hue
    double scale = 0.02;     // relative
};

// True when the figures are within the limits; `why` names the first
// figure that is not.
inline bool within(const Figures& f, const Limits& l, std::string& why)
{
    char text[160];
    if (!f.sameSize) {
        why = "the pictures differ in size";
        return false;
    }
    if (f.iou < l.iou) {
        std::snprintf(text, sizeof text, "overlap %.3f below %.2f", f.iou, l.iou);
        why = text;
        return false;
    }
    if (f.offset > l.offset) {
        std::snprintf(text, sizeof text, "centre %.1f px off", f.offset);
        why = text;
        return false;
    }
    if (std::fabs(f.scale - 1.0) > l.scale) {
        std::snprintf(text, sizeof text, "scale %.3f", f.scale);
        why = text;
        return false;
    }
    for (int c = 1; c < kClasses; ++c) {
        const ClassFigures& p = f.classes[c];
        if (std::max(p.wantPixels, p.gotPixels) < kSmallestPart)
            continue;
        if (p.iou < l.partIou || p.offset > l.partOffset) {
            std::snprintf(text, sizeof text, "%s: overlap %.3f, centre %.1f px off (%d px, reference %d px)",
                          className(c), p.iou, p.offset, p.gotPixels, p.wantPixels);
            why = text;
            return false;
        }
    }
    return true;
}

} // namespace maskcompare
