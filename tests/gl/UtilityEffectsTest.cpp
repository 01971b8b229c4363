#include "engine/ClearScreen.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "engine/ScreenFade.h"

#include "support/GLTestContext.h"
#include "support/Signals.h"
#include "support/TestEffects.h"

#include <gtest/gtest.h>


#include <array>
#include <utility>

namespace {

class UtilityEffects : public GLTest {
protected:
    std::array<int, 3> centrePixel()
    {
        unsigned char p[4] = {};
        glReadPixels(kWidth / 2, kHeight / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
    void clearBlack()
    {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
};

using Pixel = std::array<int, 3>;

} // namespace

TEST_F(UtilityEffects, ClearScreenClearsWithTheSignalledColour)
{
    ClearScreen clear;
    clear.init(0);
    GLfloat c[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, c);
    EXPECT_EQ(c[3], 0.0f);
    EXPECT_EQ(centrePixel(), (Pixel{0, 0, 0}));

    clear.signal(sig(200, {255, 51, 0}));
    clear.render(0, true);
    EXPECT_EQ(centrePixel(), (Pixel{255, 51, 0}));

    // A colour move does not progress: render never updates.
    clear.signal(sig(205, {0, 0, 255, 0, 100}));
    clear.render(5000, true);
    EXPECT_EQ(centrePixel(), (Pixel{255, 51, 0}));

    // init restores black without touching the clock.
    clear.startTime = 1234;
    clear.init(99);
    EXPECT_EQ(clear.startTime, 1234);
    EXPECT_EQ(centrePixel(), (Pixel{0, 0, 0}));
}

TEST_F(UtilityEffects, ScreenFadeAlphaRunsFromTheFadeStart)
{
    ScreenFade fade;
    fade.init(1000);
    fade.start();
    fade.signal(sig(200, {0, 0, 255}));

    struct Case {
        int code;
        int t;
        int at;
        float alpha;
    } cases[] = {
        {3, 3000, 2000, 0.5f},  // fade out until 3000
        {3, 3000, 3000, 0.0f},
        {4, 5000, 2000, 0.25f}, // fade in until 5000
        {6, 500, 1250, 0.5f},   // fade in over 500 ms
        {6, 500, 2000, 2.0f},   // not limited to 1
        {7, 2000, 1500, 0.75f}, // fade out over 2000 ms
        // Fades of no length are complete at once.
        {3, 1000, 5000, 0.0f},
        {4, 1000, 500, 1.0f},
        {6, 0, 90000, 1.0f},
        {7, 0, 1000, 0.0f},
    };
    for (const Case& c : cases) {
        fade.signal(sig(c.code, {c.t}));
        clearBlack();
        fade.render(c.at, true);
        EXPECT_FLOAT_EQ(fade.currentAlpha(), c.alpha) << c.code << " " << c.t;
        int blue = static_cast<int>(std::min(c.alpha, 1.0f) * 255.0f + 0.5f);
        EXPECT_NEAR(centrePixel()[2], blue, 1) << c.code << " " << c.t;
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // A stopped fade draws nothing.
    fade.signal(sig(6, {0}));
    fade.stop();
    clearBlack();
    fade.render(2000, true);
    EXPECT_EQ(centrePixel(), (Pixel{0, 0, 0}));
}

// Renders the flash at every `step` ms from `from` to `to` and returns the
// spans in which it was visible, as (first visible time, length in ms).
static std::vector<std::pair<int, int>> visibleSpans(FlashOverlay& flash, Effect* driver, int from, int to,
                                                     int step)
{
    std::vector<std::pair<int, int>> spans;
    bool visible = false;
    for (int t = from; t <= to; t += step) {
        if (driver)
            driver->render(t, false);
        flash.render(t, true);
        bool now = flash.isRunning() && flash.alpha.value() > 0.0f;
        if (now && !visible)
            spans.push_back({t, 0});
        if (now)
            spans.back().second += step;
        visible = now;
    }
    return spans;
}

using Spans = std::vector<std::pair<int, int>>;

TEST_F(UtilityEffects, PatternDrivenFlashesLastDigitTimesSpeed)
{
    FlashOverlay flash;
    PatternTrigger trigger;
    trigger.source = &flash;
    flash.init(0);
    trigger.init(0);
    flash.signal(sig(8, {}));
    trigger.signal(sig(406, {}, "p1201"));

    EXPECT_EQ(visibleSpans(flash, &trigger, 0, 3990, 10), (Spans{{0, 500}, {1000, 1000}, {3000, 500}}));
    EXPECT_TRUE(flash.isRunning());

    // The flash is drawn white over the picture while it lasts.
    clearBlack();
    trigger.render(4000, false);
    flash.render(4000, true);
    EXPECT_EQ(centrePixel(), (Pixel{255, 255, 255}));
    clearBlack();
    flash.render(4250, true);
    EXPECT_NEAR(centrePixel()[0], 128, 1);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(UtilityEffects, FlashRunModes)
{
    FlashOverlay flash;
    flash.init(1000);
    // Signal 1: one flash, then the effect stops itself.
    flash.signal(sig(1, {}));
    EXPECT_EQ(visibleSpans(flash, nullptr, 1000, 3000, 10), (Spans{{1000, 500}}));
    EXPECT_FALSE(flash.isRunning());
    // It stops at the first frame drawn after the fade: an init before that
    // frame starts the flash again.
    flash.signal(sig(1, {}));
    flash.init(4000);
    flash.render(4300, true);
    flash.init(4600);
    EXPECT_EQ(visibleSpans(flash, nullptr, 4600, 5500, 10), (Spans{{4600, 500}}));

    // Signal 8: one flash, then running and invisible.
    flash.init(5000);
    flash.signal(sig(8, {}));
    EXPECT_EQ(visibleSpans(flash, nullptr, 5000, 8000, 10), (Spans{{5000, 500}}));
    EXPECT_TRUE(flash.isRunning());

    // Signal 2: again every interval of the effect's clock; 10 sets the length.
    flash.init(10000);
    flash.signal(sig(2, {1200}));
    flash.signal(sig(10, {300}));
    EXPECT_FLOAT_EQ(flash.flashLengthMs(), 300.0f);
    EXPECT_EQ(visibleSpans(flash, nullptr, 10000, 13990, 10),
              (Spans{{10000, 300}, {11200, 300}, {12400, 300}, {13600, 300}}));

    // A flash of no length shows nothing and divides by nothing.
    flash.signal(sig(10, {0}));
    EXPECT_EQ(visibleSpans(flash, nullptr, 14000, 15000, 10), Spans{});
    EXPECT_TRUE(flash.isRunning());
}
