#include "app/DemoEffects.h"

#include "support/ProductionScript.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

// Only ATI shadows on a driver without depth render textures draw the scene
// effects bare.
TEST(DemoEffects, WrappingRule)
{
    struct Case {
        bool atiShadows, depthRenderTexture, wrapped;
    } cases[] = {
        {false, false, true},
        {false, true, true},
        {true, true, true},
        {true, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DemoEffects::wrapsInRenderTarget(c.atiShadows, c.depthRenderTexture), c.wrapped)
            << c.atiShadows << " " << c.depthRenderTexture;
}

// The scene-based ids go through the render target, nothing else does; ids
// are unique and within the registry.
TEST(DemoEffects, TableMarksTheSceneBasedIdsAsWrapped)
{
    const std::set<int> wrappedIds = {10, 11, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 32, 33, 80};
    int count = 0;
    const DemoEffects::Entry* table = DemoEffects::table(count);
    std::set<int> seen;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(seen.insert(table[i].id).second) << table[i].id;
        EXPECT_GE(table[i].id, 0);
        EXPECT_LT(table[i].id, 128);
        EXPECT_EQ(table[i].wrapped, wrappedIds.count(table[i].id) == 1) << table[i].id;
    }
}

// The sample production shows every registered effect: an id the script never
// starts is an effect a new user never sees, and one added later must get its
// part in the show before the suite passes again.
TEST(DemoEffects, SampleProductionStartsEveryRegisteredId)
{
    ProductionScript production;
    ASSERT_TRUE(production.script->ok()) << production.script->errorText();
    std::set<int> started;
    for (const ScriptEvent* e : production.script->timeline())
        if (e->type == EventType::Start)
            started.insert(e->effectId);
    int count = 0;
    const DemoEffects::Entry* table = DemoEffects::table(count);
    std::string missing;
    for (int i = 0; i < count; ++i)
        if (!started.count(table[i].id))
            missing += " " + std::to_string(table[i].id);
    EXPECT_EQ(missing, "") << "registered ids the sample production never starts";
}
