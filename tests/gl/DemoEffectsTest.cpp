#include "app/DemoEffects.h"
#include "effects/AnsiFilter.h"
#include "effects/EffectSwitcher.h"
#include "effects/Forcefield.h"
#include "effects/GeoSphereDeform.h"
#include "effects/ObjectPulse.h"
#include "effects/GlowFilter.h"
#include "effects/InvertFlash.h"
#include "effects/KeyControl.h"
#include "effects/MotionBlurFilter.h"
#include "effects/NoiseFilter.h"
#include "effects/RadialBlurFilter.h"
#include "effects/RenderTargetLayer.h"
#include "effects/Tree.h"
#include "engine/ClearScreen.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "engine/ScreenFade.h"
#include "gl/PBufferManager.h"
#include "gl/TextureManager.h"
#include "scene/SceneEffect.h"

#include "support/GLTestContext.h"
#include "support/TestEffects.h"

namespace {

class DemoEffectsGL : public GLTest {
protected:
    ManagerReset reset;
    void TearDown() override
    {
        ManagerReset::reset();
        TextureManager::deleteInstance();
        PBufferManager::deleteInstance();
        GLTest::TearDown();
    }
};

} // namespace

// The ids the script addresses: one instance per id, of the right class.
TEST_F(DemoEffectsGL, RegistersEveryClassUnderItsId)
{
    DemoEffects().createEffects(false);
    EffectManager* m = EffectManager::instance();
    EXPECT_NE(dynamic_cast<ClearScreen*>(m->findEffect(0)), nullptr);
    EXPECT_NE(dynamic_cast<KeyControl*>(m->findEffect(1)), nullptr);
    EXPECT_NE(dynamic_cast<Forcefield*>(m->findEffect(6)), nullptr);
    for (int id : {3, 12, 13, 14})
        EXPECT_NE(dynamic_cast<PatternTrigger*>(m->findEffect(id)), nullptr) << id;
    EXPECT_NE(m->findEffect(3), m->findEffect(12));
    // The scene players sit inside render-target layers.
    for (int id = 20; id <= 30; ++id) {
        auto* layer = dynamic_cast<RenderTargetLayer*>(m->findEffect(id));
        ASSERT_NE(layer, nullptr) << id;
        EXPECT_NE(dynamic_cast<SceneEffect*>(layer->inner()), nullptr) << id;
    }
    EXPECT_NE(m->findEffect(20), m->findEffect(30));
    // So do the generated scene effects.
    auto inner = [m](int id) {
        auto* layer = dynamic_cast<RenderTargetLayer*>(m->findEffect(id));
        return layer ? layer->inner() : nullptr;
    };
    EXPECT_NE(dynamic_cast<Tree*>(inner(80)), nullptr);
    EXPECT_NE(dynamic_cast<ObjectPulse*>(inner(11)), nullptr);
    for (int id : {10, 32, 33})
        EXPECT_NE(dynamic_cast<GeoSphereDeform*>(inner(id)), nullptr) << id;
    EXPECT_NE(inner(10), inner(32));
    EXPECT_NE(dynamic_cast<AnsiFilter*>(m->findEffect(40)), nullptr);
    EXPECT_NE(dynamic_cast<RadialBlurFilter*>(m->findEffect(41)), nullptr);
    EXPECT_NE(dynamic_cast<MotionBlurFilter*>(m->findEffect(42)), nullptr);
    EXPECT_NE(dynamic_cast<GlowFilter*>(m->findEffect(43)), nullptr);
    EXPECT_NE(dynamic_cast<NoiseFilter*>(m->findEffect(44)), nullptr);
    EXPECT_NE(dynamic_cast<EffectSwitcher*>(m->findEffect(50)), nullptr);
    EXPECT_NE(dynamic_cast<InvertFlash*>(m->findEffect(61)), nullptr);
    EXPECT_NE(dynamic_cast<ScreenFade*>(m->findEffect(62)), nullptr);
    EXPECT_NE(dynamic_cast<FlashOverlay*>(m->findEffect(63)), nullptr);
    int registered = 0;
    for (int id = 0; id < EffectManager::kMaxEffects; ++id)
        registered += m->findEffect(id) != nullptr;
    int count = 0;
    DemoEffects::table(count);
    EXPECT_EQ(registered, count);
}

// ATI shadows on a driver without depth render textures: the scene players
// are registered bare.
namespace {

class DemoEffectsWithoutDepthTextures : public DemoEffectsGL {
protected:
    void SetUp() override
    {
        // Read once, when the platform layer first builds its list.
        setenv("VP_HIDE_EXTENSIONS", "WGL_NV_render_depth_texture", 1);
        DemoEffectsGL::SetUp();
    }
};

} // namespace

TEST_F(DemoEffectsWithoutDepthTextures, SceneEffectsAreBareForAtiShadows)
{
    ASSERT_FALSE(isExtensionSupported("WGL_NV_render_depth_texture"));
    DemoEffects().createEffects(true);
    EffectManager* m = EffectManager::instance();
    for (int id = 20; id <= 30; ++id)
        EXPECT_NE(dynamic_cast<SceneEffect*>(m->findEffect(id)), nullptr) << id;
    EXPECT_EQ(PBufferManager::getInstance()->refCount("renderTarget"), 0);
}

// A wrapped entry comes back inside a RenderTargetLayer that owns it, unless
// the rule says bare.
TEST_F(DemoEffectsGL, WrappedEntriesAreBuiltInsideARenderTargetLayer)
{
    static int made = 0;
    DemoEffects::Entry entry = {20, [] { ++made; return static_cast<Effect*>(new PlainEffect); }, true, nullptr};

    Effect* wrapped = DemoEffects::build(entry, true);
    auto* layer = dynamic_cast<RenderTargetLayer*>(wrapped);
    ASSERT_NE(layer, nullptr);
    EXPECT_NE(dynamic_cast<PlainEffect*>(layer->inner()), nullptr);
    EXPECT_EQ(PBufferManager::getInstance()->refCount("renderTarget"), 1);
    delete wrapped;
    EXPECT_EQ(PBufferManager::getInstance()->refCount("renderTarget"), 0);

    Effect* bare = DemoEffects::build(entry, false);
    EXPECT_NE(dynamic_cast<PlainEffect*>(bare), nullptr);
    delete bare;

    entry.wrapped = false;
    Effect* plain = DemoEffects::build(entry, true);
    EXPECT_NE(dynamic_cast<PlainEffect*>(plain), nullptr);
    delete plain;
    EXPECT_EQ(made, 3);
}
