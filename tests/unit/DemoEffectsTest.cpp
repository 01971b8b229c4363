#include "app/DemoEffects.h"

#include <gtest/gtest.h>

#include <set>

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
