#include "support/GLTestContext.h"
#include "support/Signals.h"
#include "support/TestEffects.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class LayerPass : public GLTest {
protected:
    ManagerReset reset;
    std::vector<std::string> log;

    RecordingEffect* add(int id, const char* name)
    {
        auto* e = new RecordingEffect(name, &log, true);
        EffectManager::instance()->registerEffect(id, e);
        e->start();
        return e;
    }
};

} // namespace

TEST_F(LayerPass, OrderAndMatrixProtection)
{
    EffectManager* m = EffectManager::instance();
    add(1, "a");
    add(2, "b");
    add(3, "c");
    RecordingEffect* stopped = add(4, "stopped");
    stopped->stop();
    m->addToLayer(5, 3);
    m->addToLayer(1, 1);
    m->addToLayer(0, 2);
    m->addToLayer(0, 4);
    m->addToLayer(5, 4);
    m->addToLayer(1, 3);

    glMatrixMode(GL_MODELVIEW);
    m->renderFrame(40);

    // Layer 0 first, unprotected (depth 1/1); then every preRender in layer
    // order; then layers 1 to 15 with both matrices pushed (depth 2/2).
    std::vector<std::string> expected = {
        "b.render@40 depth 1/1",
        "b.pre@40",
        "a.pre@40",
        "c.pre@40",
        "c.pre@40",
        "a.render@40 depth 2/2",
        "c.render@40 depth 2/2",
        "c.render@40 depth 2/2",
    };
    EXPECT_EQ(log, expected);

    GLint depth = 0, mode = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(LayerPass, SameEffectTwiceOnALayerIsDrawnTwice)
{
    EffectManager* m = EffectManager::instance();
    add(7, "x");
    m->addToLayer(3, 7);
    m->addToLayer(3, 7);
    m->renderFrame(100);
    EXPECT_EQ(std::count(log.begin(), log.end(), "x.render@100 depth 2/2"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "x.pre@100"), 2);
}

TEST_F(LayerPass, UpdateAppliesTheRectangleToTheViewport)
{
    // The screen size is read from the viewport when an effect is made.
    PlainEffect e;
    EXPECT_EQ(Effect::screenWidth, kWidth);
    EXPECT_EQ(Effect::screenHeight, kHeight);
    e.init(0);
    e.signal(sig(202, {25, 50, 33, 50}));
    e.update(10, true);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 80);
    EXPECT_EQ(viewport[1], 120);
    EXPECT_EQ(viewport[2], 105); // 0.33 x 320 = 105.6, truncated
    EXPECT_EQ(viewport[3], 120);
}
