// The invert flash drawn over a known picture and read back.

#include "effects/InvertFlash.h"

#include "support/GLTestContext.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Pixel = std::array<int, 3>;

class InvertFlashTest : public GLTest {
protected:
    // The picture under the flash: (40, 100, 200) everywhere.
    Pixel frameAt(InvertFlash& flash, int time)
    {
        glViewport(0, 0, kWidth, kHeight);
        glClearColor(40 / 255.0f, 100 / 255.0f, 200 / 255.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        flash.render(time, true);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        glPopMatrix();
        unsigned char p[4] = {};
        glReadPixels(kWidth / 3, kHeight / 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }
};

void expectNear(const Pixel& got, const Pixel& want)
{
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(got[c], want[c], 1) << "channel " << c;
}

const Pixel kPicture = {40, 100, 200};
const Pixel kInverted = {215, 155, 55};

} // namespace

TEST_F(InvertFlashTest, InvertedAtTheTriggerAndNormalAfterTheLength)
{
    InvertFlash flash;
    flash.init(0);
    EXPECT_EQ(flash.flashLengthMs(), 100);
    expectNear(frameAt(flash, 900), kPicture);

    flash.signal(sig(400, {1000}));
    expectNear(frameAt(flash, 1000), kInverted);
    // Halfway the colour is mid-grey: each channel lands between picture and
    // inverse.
    Pixel half = frameAt(flash, 1050);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(half[c], (kPicture[c] + kInverted[c]) / 2, 2) << c;
    expectNear(frameAt(flash, 1100), kPicture);
    expectNear(frameAt(flash, 1500), kPicture);

    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(InvertFlashTest, ATriggerDuringAFlashIsIgnored)
{
    InvertFlash flash;
    flash.init(0);
    flash.signal(sig(90, {400}));
    flash.signal(sig(407, {2000}));
    frameAt(flash, 2000);
    frameAt(flash, 2100);
    // Still fading: the second trigger keeps the first flash's course.
    flash.signal(sig(400, {2200}));
    Pixel at2200 = frameAt(flash, 2200);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(at2200[c], (kPicture[c] + kInverted[c]) / 2, 2) << c;
    // Still fading as last drawn: a trigger after its end but before the
    // frame that shows it over is kept out too.
    frameAt(flash, 2350);
    flash.signal(sig(407, {2450}));
    expectNear(frameAt(flash, 2450), kPicture);

    // Once it is over, a trigger starts a new one.
    flash.signal(sig(400, {3000}));
    expectNear(frameAt(flash, 3000), kInverted);
    // init ends a flash at once.
    flash.init(3100);
    expectNear(frameAt(flash, 3100), kPicture);
}
