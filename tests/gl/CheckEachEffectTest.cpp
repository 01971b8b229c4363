// The layer pass's debugging check: with it on, a GL error left by an effect
// ends the run naming the effect and the step; with it off, the error stays
// for the next check point to find.

#include "engine/Effect.h"
#include "engine/EffectManager.h"
#include "support/GLTestContext.h"
#include "support/TestEffects.h"

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
