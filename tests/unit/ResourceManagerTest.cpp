// The generic resource manager: counts, refusals, when resources die, the
// dump's lines and order, and the singleton's life.

#include "resources/ResourceManager.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

int destroyed = 0;

struct Thing {
    ~Thing() { ++destroyed; }
};

class ThingManager : public ResourceManager<ThingManager, Thing> {
public:
    // A factory in the manner of the texture and buffer managers; `fails`
    // makes it yield none.
    Thing* getThing(const char* name, bool fails = false)
    {
        ++made;
        return getOrCreate(name, [&]() -> Thing* { return fails ? nullptr : new Thing; });
    }
    int made = 0;
};

class ResourceManagerTest : public testing::Test {
protected:
    void SetUp() override { destroyed = 0; }
    ThingManager manager;
};

} // namespace

TEST_F(ResourceManagerTest, SameResourceTwiceCountsTwoAndDiesOnTheSecondRelease)
{
    Thing* thing = new Thing;
    EXPECT_EQ(manager.add("wall.png", thing), 0);
    EXPECT_EQ(manager.add("wall.png", thing), 0);
    EXPECT_EQ(manager.size(), 1u);
    EXPECT_EQ(manager.refCount("wall.png"), 2);

    EXPECT_EQ(manager.release(thing), 0);
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(manager.release(thing), 0);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(manager.size(), 0u);
    // Released once more: no longer registered, ignored.
    EXPECT_EQ(manager.release(thing), 0);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(ResourceManagerTest, ConflictingAndMissingResourcesAreRefused)
{
    Thing* first = new Thing;
    Thing* second = new Thing;
    ASSERT_EQ(manager.add("cubemap", first), 0);
    EXPECT_EQ(manager.add("cubemap", second), 1);
    EXPECT_EQ(manager.refCount("cubemap"), 1);
    EXPECT_EQ(manager.add("other", nullptr), 1);
    // One resource under two names would be deleted twice.
    EXPECT_EQ(manager.add("alias", first), 1);
    EXPECT_EQ(manager.size(), 1u);
    EXPECT_EQ(manager.release(nullptr), 1);
    EXPECT_EQ(manager.release(second), 0);
    EXPECT_EQ(destroyed, 0);
    delete second; // still the caller's
}

TEST_F(ResourceManagerTest, FindCountsHitsAndCreatesNothingOnAMiss)
{
    EXPECT_EQ(manager.find("scene.vsc"), nullptr);
    EXPECT_EQ(manager.size(), 0u);
    Thing* thing = new Thing;
    manager.add("scene.vsc", thing);
    EXPECT_EQ(manager.find("scene.vsc"), thing);
    EXPECT_EQ(manager.refCount("scene.vsc"), 2);
    // Names are exact byte strings.
    EXPECT_EQ(manager.find("SCENE.VSC"), nullptr);
}

TEST_F(ResourceManagerTest, GetOrCreateMakesOnceAndRegistersNothingForAFailedFactory)
{
    Thing* a = manager.getThing("renderTarget");
    Thing* b = manager.getThing("renderTarget");
    EXPECT_EQ(a, b);
    EXPECT_EQ(manager.refCount("renderTarget"), 2);
    EXPECT_EQ(manager.getThing("broken", true), nullptr);
    EXPECT_EQ(manager.refCount("broken"), 0);
    EXPECT_EQ(manager.size(), 1u);
}

TEST_F(ResourceManagerTest, ReleaseAllDestroysWhateverTheCounts)
{
    Thing* a = new Thing;
    manager.add("a", a);
    manager.add("a", a);
    manager.add("a", a);
    manager.add("b", new Thing);
    EXPECT_EQ(manager.releaseAll(), 0);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(manager.size(), 0u);
    // The manager goes on working afterwards.
    manager.add("a", new Thing);
    EXPECT_EQ(manager.refCount("a"), 1);
}

TEST_F(ResourceManagerTest, DumpWritesOneLinePerNameInByteOrder)
{
    const std::string path = (std::filesystem::temp_directory_path() / "vp_dump_test.txt").string();
    std::filesystem::remove(path);
    manager.dump(path.c_str());
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(readFile<std::string>(path), "");

    Thing* wall = new Thing;
    manager.add("wall.png", wall);
    manager.add("wall.png", wall);
    manager.add("a\xE9.png", new Thing); // a byte above 0x7F sorts after every ASCII letter
    manager.add("ab", new Thing);
    manager.add("a", new Thing);
    manager.add("Zebra.jpg", new Thing);
    EXPECT_EQ(manager.dump(path.c_str()), 0);
    EXPECT_EQ(readFile<std::string>(path), "Resource: Zebra.jpg, RefCount: 1\n"
                              "Resource: a, RefCount: 1\n"
                              "Resource: ab, RefCount: 1\n"
                              "Resource: a\xE9.png, RefCount: 1\n"
                              "Resource: wall.png, RefCount: 2\n");
    std::filesystem::remove(path);
    // A file that cannot be opened is skipped without a word.
    EXPECT_EQ(manager.dump("/nonexistent-folder/x.txt"), 0);
}

TEST(ResourceManagerSingleton, DeleteInstanceDestroysWhatIsRegistered)
{
    destroyed = 0;
    ThingManager* manager = ThingManager::getInstance();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(ThingManager::getInstance(), manager);
    manager->getThing("x");
    manager->getThing("y");
    ThingManager::deleteInstance();
    EXPECT_EQ(destroyed, 2);
    ThingManager* fresh = ThingManager::getInstance();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->size(), 0u);
    ThingManager::deleteInstance();
}
