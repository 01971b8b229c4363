#include "app/DemoEffects.h"

#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
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
    const char* dir = std::getenv("VP_PRODUCTION_DIR");
    ASSERT_NE(dir, nullptr);
    const std::string script = readFile<std::string>(std::string(dir) + "/data/testscript.scr");
    ASSERT_FALSE(script.empty()) << dir;
    std::set<int> started;
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string time, verb;
        int id = -1;
        if (words >> time >> verb >> id && verb == "START")
            started.insert(id);
    }
    int count = 0;
    const DemoEffects::Entry* table = DemoEffects::table(count);
    std::string missing;
    for (int i = 0; i < count; ++i)
        if (!started.count(table[i].id))
            missing += " " + std::to_string(table[i].id);
    EXPECT_EQ(missing, "") << "registered ids the sample production never starts";
}
