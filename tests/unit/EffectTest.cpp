#include "support/Signals.h"
#include "support/TestEffects.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

} // namespace

TEST(Effect, DefaultsAndInitBaseResetTheVisibleState)
{
    PlainEffect e;
    EXPECT_FALSE(e.isRunning());
    EXPECT_EQ(e.width.value(), 1.0f);
    EXPECT_EQ(e.alpha.value(), 1.0f);
    EXPECT_EQ(e.speed, 100.0f);
    EXPECT_EQ(e.blendSource, static_cast<unsigned>(GL_SRC_ALPHA));
    EXPECT_EQ(e.blendDestination, static_cast<unsigned>(GL_ONE_MINUS_SRC_ALPHA));

    e.signal(sig(202, {10, 20, 30, 40}));
    e.signal(sig(100, {51}));
    e.signal(sig(204, {10, 17}));
    e.signal(sig(403, {150000}));
    e.signal(sig(10, {250}));
    EXPECT_FLOAT_EQ(e.x.value(), 0.1f);
    EXPECT_FLOAT_EQ(e.height.value(), 0.4f);
    EXPECT_TRUE(e.blending);
    EXPECT_FLOAT_EQ(e.alpha.value(), 0.2f);
    EXPECT_EQ(e.blendSource, static_cast<unsigned>(GL_ONE));
    EXPECT_EQ(e.blendDestination, static_cast<unsigned>(GL_DST_COLOR));
    EXPECT_FLOAT_EQ(e.paramA.value(), 1.5f);

    e.init(3000);
    EXPECT_EQ(e.x.value(), 0.0f);
    EXPECT_EQ(e.height.value(), 1.0f);
    EXPECT_EQ(e.alpha.value(), 1.0f);
    EXPECT_FALSE(e.blending);
    EXPECT_EQ(e.blendSource, static_cast<unsigned>(GL_SRC_ALPHA));
    EXPECT_EQ(e.paramA.value(), 0.0f);
    EXPECT_EQ(e.startTime, 3000);
    EXPECT_EQ(e.lastTime, 3000);
    // Speed is not part of the reset: a setup signal 10 survives initAll.
    EXPECT_EQ(e.speed, 250.0f);
}

TEST(Effect, ClockUpdatesAndFactorCodes)
{
    PlainEffect e;
    e.init(1000);
    e.render(1500, false);
    EXPECT_EQ(e.localTime, 500);
    EXPECT_EQ(e.frameDelta, 500);
    EXPECT_FLOAT_EQ(e.scaledLocalTime, 5.0f);
    e.signal(sig(13, {200}));
    EXPECT_EQ(e.startTime, 1200);
    EXPECT_EQ(e.localTime, 300);
    e.signal(sig(15, {5000}));
    EXPECT_FLOAT_EQ(e.speed, 50.0f);
    e.signal(sig(14, {30}));
    EXPECT_FLOAT_EQ(e.speed, 3.0f);

    EXPECT_EQ(Effect::blendFactorFromCode(10), static_cast<unsigned>(GL_ONE));
    EXPECT_EQ(Effect::blendFactorFromCode(15), static_cast<unsigned>(GL_ONE_MINUS_DST_ALPHA));
    EXPECT_EQ(Effect::blendFactorFromCode(19), static_cast<unsigned>(GL_ONE_MINUS_DST_COLOR));
    EXPECT_EQ(Effect::blendFactorFromCode(20), static_cast<unsigned>(GL_ZERO));
    e.signal(sig(102, {11}));
    e.signal(sig(103, {16}));
    EXPECT_EQ(e.blendSource, static_cast<unsigned>(GL_ZERO));
    EXPECT_EQ(e.blendDestination, static_cast<unsigned>(GL_SRC_COLOR));
}

TEST(Effect, PauseAndResumeBySignalMoveTheStartTime)
{
    PlainEffect e;
    e.init(0);
    e.render(5000, false);
    // Written under a time offset of 4000: pause at 5000, resume at 7000.
    e.signal(sig(12, {1, 1000}, "", 4000));
    EXPECT_TRUE(e.isPaused());
    e.render(6000, false);
    EXPECT_EQ(e.localTime, 5000);
    EXPECT_EQ(e.frameDelta, 0);
    e.signal(sig(12, {1, 2000}, "", 4000)); // a second pause changes nothing
    e.signal(sig(12, {0, 3000}, "", 4000));
    EXPECT_FALSE(e.isPaused());
    EXPECT_EQ(e.startTime, 2000);
    e.render(7000, false);
    EXPECT_EQ(e.localTime, 5000);
    e.render(7100, false);
    EXPECT_EQ(e.localTime, 5100);
    e.signal(sig(12, {0, 9000})); // resume without pause changes nothing
    EXPECT_EQ(e.startTime, 2000);
}

TEST(Effect, MovesUseOffsetAndTakeModeAndCurveOnlyWhenGiven)
{
    PlainEffect e;
    e.init(0);
    e.x.setMode(AnimatedValue::SineEaseOut);
    e.x.setCurve(0.5f, 0.7f);
    // Six arguments: no mode, no curve.
    e.signal(sig(203, {50, 50, 20, 20, 1000, 2000}, "", 500));
    for (const AnimatedValue* v : {&e.x, &e.y, &e.width, &e.height})
        EXPECT_EQ(v->startTime, 1500.0f);
    EXPECT_EQ(e.x.mode, AnimatedValue::SineEaseOut);
    EXPECT_EQ(e.x.curveA, 0.5f);
    EXPECT_EQ(e.y.mode, AnimatedValue::Linear);
    EXPECT_EQ(e.width.duration, 2000.0f);
    e.render(2500, false);
    EXPECT_FLOAT_EQ(e.y.value(), 0.25f); // halfway from 0 to 0.5, linear
    e.render(3500, false);
    EXPECT_FLOAT_EQ(e.width.value(), 0.2f);

    // Seven: mode for all four; nine: curve for all four.
    e.signal(sig(203, {0, 0, 100, 100, 0, 100, 2}));
    EXPECT_EQ(e.height.mode, AnimatedValue::EaseIn);
    EXPECT_EQ(e.height.curveB, 1.0f);
    e.signal(sig(203, {0, 0, 100, 100, 0, 100, 4, -50, 150}));
    EXPECT_FLOAT_EQ(e.height.curveA, -0.5f);
    EXPECT_FLOAT_EQ(e.y.curveB, 1.5f);

    // 205 moves colour; its mode and curve reach alpha too.
    e.signal(sig(205, {255, 0, 51, 100, 400, 3, 10, 20}));
    EXPECT_EQ(e.red.target, 1.0f);
    EXPECT_FLOAT_EQ(e.blue.target, 0.2f);
    EXPECT_EQ(e.red.startTime, 100.0f);
    EXPECT_EQ(e.alpha.mode, AnimatedValue::SineEaseOut);
    EXPECT_FLOAT_EQ(e.alpha.curveB, 0.2f);
    EXPECT_EQ(e.alpha.delta, 0.0f);

    // 500 jumps to the first angles and moves to the second ones.
    e.signal(sig(500, {10, 20, 30, 40, 50, 60, 100, 1000}, "", 2000));
    EXPECT_EQ(e.rotationZ.value(), 30.0f);
    EXPECT_EQ(e.rotationZ.target, 60.0f);
    EXPECT_EQ(e.rotationX.startTime, 2100.0f);
}

TEST(Effect, ColourSignalsAndSourceLookup)
{
    ManagerReset reset;
    PlainEffect* other = new PlainEffect;
    EffectManager::instance()->registerEffect(7, other);

    PlainEffect e;
    e.signal(sig(201, {255, 51, 0, 102}));
    EXPECT_FLOAT_EQ(e.green.value(), 0.2f);
    EXPECT_FLOAT_EQ(e.alpha.value(), 0.4f);
    e.signal(sig(101, {}));
    EXPECT_FALSE(e.blending);
    EXPECT_EQ(e.alpha.value(), 1.0f);
    e.signal(sig(118, {0}));
    EXPECT_EQ(e.alpha.value(), 0.0f);

    e.signal(sig(70, {7}));
    EXPECT_EQ(e.source, other);
    e.init(400); // the source is initialised with its reader
    EXPECT_EQ(other->lastInitTime, 400);
    e.signal(sig(70, {99}));
    EXPECT_EQ(e.source, nullptr);
}

TEST(Effect, SourceRingDoesNotRecurseForever)
{
    ManagerReset reset;
    PlainEffect* a = new PlainEffect;
    PlainEffect* b = new PlainEffect;
    EffectManager::instance()->registerEffect(1, a);
    EffectManager::instance()->registerEffect(2, b);
    a->signal(sig(70, {2}));
    b->signal(sig(70, {1}));
    a->init(10);
    EXPECT_EQ(b->inits, 1);
    EXPECT_EQ(b->lastInitTime, 10);
    b->signal(sig(70, {2}));
    b->init(20);
    EXPECT_EQ(b->inits, 3);
}

TEST(EffectManager, RegistrationLayersAndMessages)
{
    ManagerReset reset;
    EffectManager* m = EffectManager::instance();
    PlainEffect* e = new PlainEffect;
    m->registerEffect(127, e);
    EXPECT_EQ(m->findEffect(127), e);
    EXPECT_EQ(m->findEffect(128), nullptr);
    EXPECT_EQ(m->findEffect(-1), nullptr);

    testing::internal::CaptureStderr();
    PlainEffect stray;
    m->registerEffect(128, &stray);
    m->registerEffect(-3, &stray);
    m->addToLayer(3, 5);
    m->addToLayer(16, 127);
    m->addToLayer(-1, 127);
    m->addToLayer(2, 128);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: effectId to high: 128\n"
              "warning: effectId to high: -3\n"
              "warning: effect ID not found: 5\n");

    m->addToLayer(15, 127);
    m->addToLayer(15, 127);
    EXPECT_EQ(m->layer(15).size(), 2u);
    m->clearLayers();
    EXPECT_TRUE(m->layer(15).empty());
}

TEST(EffectManager, InitStopAndDeleteAll)
{
    ManagerReset reset;
    EffectManager* m = EffectManager::instance();
    PlainEffect* a = new PlainEffect;
    PlainEffect* b = new PlainEffect;
    m->registerEffect(4, a);
    m->registerEffect(9, b);
    // The same object under a second id must still be deleted only once.
    m->registerEffect(10, b);
    a->start();
    b->start();
    a->init(500);
    m->initAll();
    EXPECT_EQ(a->lastInitTime, 0);
    EXPECT_EQ(b->inits, 2);
    m->stopAll();
    EXPECT_FALSE(a->isRunning());
    EXPECT_FALSE(b->isRunning());
    m->addToLayer(1, 4);
    m->deleteAll();
    EXPECT_EQ(m->findEffect(4), nullptr);
    EXPECT_EQ(m->findEffect(10), nullptr);
    EXPECT_TRUE(m->layer(1).empty());
}
