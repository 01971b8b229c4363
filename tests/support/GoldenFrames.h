#pragma once
// Compares the current GL frame with the golden `name` ("effects/tree") as
// GoldenCompare.h does, or rewrites the golden when VP_UPDATE_GOLDENS is set.

#include "support/GoldenCompare.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

inline void expectGoldenFrame(const char* name, int width, int height)
{
    std::vector<unsigned char> rgba(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    golden::Picture frame;
    frame.width = width;
    frame.height = height;
    frame.rgb.resize(size_t(width) * height * 3);
    // The read-back runs bottom row first, the picture top row first.
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                frame.rgb[(size_t(y) * width + x) * 3 + c] = rgba[(size_t(height - 1 - y) * width + x) * 4 + c];
    golden::Verdict verdict = golden::check(name, frame);
    EXPECT_TRUE(verdict.ok) << verdict.message;
}
