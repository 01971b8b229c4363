// The layer pass's debugging aids. The GL check: with it on, a GL error left
// by an effect ends the run naming the effect and the step; with it off, the
// error stays for the next check point to find. The effect times: with
// VP_EFFECT_TIMES set, one line for every pass of every running effect.

#include "engine/Effect.h"
#include "engine/EffectManager.h"
#include "support/Files.h"
#include "support/GLTestContext.h"
#include "support/TestEffects.h"

#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace {

// Leaves GL_INVALID_ENUM behind in the step it is told to.
class CarelessEffect : public Effect {
public:
    explicit CarelessEffect(bool inPreRender) : inPreRender(inPreRender) {}
    void init(int time) override { initBase(time); }
    void render(int, bool) override
    {
        if (!inPreRender)
            glEnable(GL_LINE);
    }
    void preRender(int) override
    {
        if (inPreRender)
            glEnable(GL_LINE);
    }

private:
    bool inPreRender;
};

class CheckEachEffect : public GLTest {
protected:
    void TearDown() override
    {
        EffectManager::setCheckGLAfterEachEffect(false);
        GLTest::TearDown();
    }
    void place(int id, int layer, bool inPreRender)
    {
        EffectManager* m = EffectManager::instance();
        m->registerEffect(id, new CarelessEffect(inPreRender));
        m->addToLayer(layer, id);
        m->findEffect(id)->start();
    }
    ManagerReset reset;
};

} // namespace

TEST_F(CheckEachEffect, NamesTheEffectAndTheStep)
{
    EXPECT_EXIT(
        {
            EffectManager::setCheckGLAfterEachEffect(true);
            place(17, 3, false);
            EffectManager::instance()->renderFrame(100);
        },
        ::testing::ExitedWithCode(1), "error: GL error \\(GL_INVALID_ENUM\\) in: effect 17 render\n");
    EXPECT_EXIT(
        {
            EffectManager::setCheckGLAfterEachEffect(true);
            place(9, 0, true);
            EffectManager::instance()->renderFrame(100);
        },
        ::testing::ExitedWithCode(1), "error: GL error \\(GL_INVALID_ENUM\\) in: effect 9 preRender\n");
}

TEST_F(CheckEachEffect, OffByDefault)
{
    place(17, 3, false);
    EffectManager::instance()->renderFrame(100);
    EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
}

TEST_F(CheckEachEffect, EffectTimesListEveryPassOfTheRunningEffects)
{
    char path[] = "/tmp/vp_effect_times_XXXXXX";
    close(mkstemp(path));
    setenv("VP_EFFECT_TIMES", path, 1);
    ManagerReset::reset(); // the manager reads the variable when it is made
    EffectManager* m = EffectManager::instance();
    unsetenv("VP_EFFECT_TIMES");
    place(9, 0, false);
    place(17, 3, false);
    m->registerEffect(5, new PlainEffect); // never started
    m->addToLayer(3, 5);
    glGetError();
    m->renderFrame(100);
    m->renderFrame(140);
    glGetError();
    ManagerReset::reset(); // writes the file

    std::istringstream lines(readFile<std::string>(path));
    std::string passes;
    int time, id;
    std::string pass;
    double ms;
    while (lines >> time >> id >> pass >> ms) {
        EXPECT_GE(ms, 0.0);
        passes += std::to_string(time) + " " + std::to_string(id) + " " + pass + "\n";
    }
    unlink(path);
    EXPECT_EQ(passes, "100 9 draw\n100 9 pre\n100 17 pre\n100 17 draw\n"
                      "140 9 draw\n140 9 pre\n140 17 pre\n140 17 draw\n");
}
