#pragma once
// Support for the picture filter tests: a hidden window large enough for the
// filters' 512 x 512 capture squares, a source effect that draws a known
// picture, and read-back helpers.

#include "engine/Effect.h"
#include "engine/EffectManager.h"
#include "gl/GLExtensions.h"
#include "gl/PBufferManager.h"
#include "gl/TextureManager.h"
#include "platform/GLWindow.h"

#include "support/Signals.h"
#include "support/TestEffects.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Draws, into whatever viewport it is given, a picture whose orientation
// shows: a red bar down the left third, a green bar along the bottom, and a
// white square near the top-right corner, over `background`. The square
// moves right by `driftPerSecond` of the width per second of local time.
// Every render is counted and every signal recorded with the GL context
// that was current when it arrived.
class PictureSource : public Effect {
public:
    void init(int time) override
    {
        ++inits;
        initBase(time);
    }
    void render(int time, bool applyRect) override
    {
        update(time, applyRect);
        ++renders;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glDisable(GL_ALPHA_TEST);
        if (background.r || background.g || background.b)
            quad(0, 0, 1, 1, background);
        quad(0.0f, 0.0f, 0.33f, 1.0f, Rgb{230, 30, 30});
        quad(0.33f, 0.0f, 1.0f, 0.25f, Rgb{30, 200, 60});
        float dx = driftPerSecond * static_cast<float>(localTime) / 1000.0f;
        quad(0.6f + dx, 0.6f, 0.85f + dx, 0.85f, Rgb{255, 255, 255});
        glColor4f(1, 1, 1, 1);
    }
    void signal(const SignalArgs& args) override
    {
        signals.push_back(args);
        signalContexts.push_back(platform::currentContext());
        Effect::signal(args);
    }

    static void quad(float x0, float y0, float x1, float y1, Rgb c)
    {
        glColor4ub(static_cast<GLubyte>(c.r), static_cast<GLubyte>(c.g), static_cast<GLubyte>(c.b), 255);
        glBegin(GL_QUADS);
        glVertex2f(x0, y0);
        glVertex2f(x1, y0);
        glVertex2f(x1, y1);
        glVertex2f(x0, y1);
        glEnd();
    }

    Rgb background;
    float driftPerSecond = 0.0f;
    int inits = 0;
    int renders = 0;
    std::vector<SignalArgs> signals;
    std::vector<void*> signalContexts;
};

// Fills its viewport with one flat colour (opaque).
class FlatSource : public Effect {
public:
    explicit FlatSource(Rgb c = {}) : colour(c) {}
    void init(int time) override { initBase(time); }
    void render(int time, bool applyRect) override
    {
        update(time, applyRect);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        PictureSource::quad(0, 0, 1, 1, colour);
        glColor4f(1, 1, 1, 1);
    }
    Rgb colour;
};

// A hidden window of kWidth x kHeight with a current context, the extensions
// loaded, the effect screen size taken from it and an empty effect registry.
class FilterTest : public ::testing::Test {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 512;

protected:
    void SetUp() override
    {
        ASSERT_TRUE(platform::initVideo());
        WindowStyle style;
        style.hidden = true;
        ASSERT_TRUE(platform::createWindow("filter test", kWidth, kHeight, style));
        ASSERT_TRUE(platform::createContext());
        ASSERT_TRUE(platform::makeWindowContextCurrent());
        initExtensions();
        glViewport(0, 0, kWidth, kHeight);
        Effect::screenWidth = kWidth;
        Effect::screenHeight = kHeight;
        ManagerReset::reset();
    }

    void TearDown() override
    {
        ManagerReset::reset();
        TextureManager::deleteInstance();
        PBufferManager::deleteInstance();
        freeExtensions();
        platform::destroyContext();
        platform::destroyWindow();
    }

    static void clearTo(Rgb c)
    {
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(c.r / 255.0f, c.g / 255.0f, c.b / 255.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glClearColor(0, 0, 0, 0);
    }

    // x, y in window pixels from the bottom-left corner.
    static Rgb pixel(int x, int y)
    {
        unsigned char p[4] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    // The window's RGB pixels, bottom row first.
    static std::vector<unsigned char> frame()
    {
        std::vector<unsigned char> rgba(size_t(kWidth) * kHeight * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
        for (size_t i = 0, n = size_t(kWidth) * kHeight; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                rgb[i * 3 + c] = rgba[i * 4 + c];
        return rgb;
    }

    // Level 0 of a 2D texture as RGBA, bottom row first.
    static std::vector<unsigned char> texels(GLuint texture, int size)
    {
        std::vector<unsigned char> out(size_t(size) * size * 4);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    // Fragments that passed while `draw` ran (an occlusion query): tells how
    // many full-screen quads were drawn, whatever their blending.
    template <class Draw>
    static unsigned samplesPassed(Draw&& draw)
    {
        GLuint query = 0;
        glext::glGenQueriesARB(1, &query);
        glext::glBeginQueryARB(GL_SAMPLES_PASSED_ARB, query);
        draw();
        glext::glEndQueryARB(GL_SAMPLES_PASSED_ARB);
        GLuint samples = 0;
        glext::glGetQueryObjectuivARB(query, GL_QUERY_RESULT_ARB, &samples);
        glext::glDeleteQueriesARB(1, &query);
        return samples;
    }
};
