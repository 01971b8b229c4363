// Compares a capture with another renderer's reference picture by the
// masks of its parts (see MaskCompare.h):
//   mask_compare <reference.png> <capture.png>
// Prints one line with the overlap, the centre offset and the scale, and
// exits 0 when they are within the limits, 1 when not, 2 when a picture
// cannot be read or on a wrong command line.

#include "support/MaskCompare.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: mask_compare <reference.png> <capture.png>\n");
        return 2;
    }
    maskcompare::Picture want, got;
    std::string error;
    if (!maskcompare::readPng(argv[1], want, error) || !maskcompare::readPng(argv[2], got, error)) {
        std::printf("FAIL no usable picture: %s\n", error.c_str());
        return 2;
    }
    maskcompare::Figures f = maskcompare::measure(want, got);
    std::string why;
    bool ok = maskcompare::within(f, maskcompare::Limits{}, why);
    // The weakest part, so that a passing line still shows the margin.
    int weakest = 0;
    for (int c = 1; c < maskcompare::kClasses; ++c)
        if (std::max(f.classes[c].wantPixels, f.classes[c].gotPixels) >= maskcompare::kSmallestPart &&
            (!weakest || f.classes[c].iou < f.classes[weakest].iou))
            weakest = c;
    std::printf("%s overlap %.3f, centre %.2f px, scale %.3f", ok ? "ok" : "FAIL", f.iou, f.offset, f.scale);
    if (weakest)
        std::printf(", weakest part %s %.3f", maskcompare::className(weakest), f.classes[weakest].iou);
    std::printf("%s%s\n", ok ? "" : ": ", why.c_str());
    return ok ? 0 : 1;
}
