#include "app/DemoEffects.h"
#include "engine/ClearScreen.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "engine/ScreenFade.h"
#include "scene/SceneEffect.h"

#include "support/TestEffects.h"

#include <gtest/gtest.h>

// The ids the script addresses: one instance per id, of the right class.
TEST(DemoEffects, RegistersEveryClassUnderItsId)
{
    ManagerReset reset;
    DemoEffects().createEffects(false);
    EffectManager* m = EffectManager::instance();
    EXPECT_NE(dynamic_cast<ClearScreen*>(m->findEffect(0)), nullptr);
    for (int id : {3, 12, 13, 14})
        EXPECT_NE(dynamic_cast<PatternTrigger*>(m->findEffect(id)), nullptr) << id;
    EXPECT_NE(m->findEffect(3), m->findEffect(12));
    for (int id = 20; id <= 30; ++id)
        EXPECT_NE(dynamic_cast<SceneEffect*>(m->findEffect(id)), nullptr) << id;
    EXPECT_NE(m->findEffect(20), m->findEffect(30));
    EXPECT_NE(dynamic_cast<ScreenFade*>(m->findEffect(62)), nullptr);
    EXPECT_NE(dynamic_cast<FlashOverlay*>(m->findEffect(63)), nullptr);
    int registered = 0;
    for (int id = 0; id < EffectManager::kMaxEffects; ++id)
        registered += m->findEffect(id) != nullptr;
    int count = 0;
    DemoEffects::table(count);
    EXPECT_EQ(registered, count);
}
