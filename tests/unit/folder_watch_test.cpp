// The watch behind live reload: a change anywhere under the folder ends a
// wait, in folders made after the watch opened too, and stop() ends it
// without one. Every change is made before the wait, so nothing depends on
// timing: the kernel queues the notifications.

#include "platform/FolderWatch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void touch(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr) << path;
    std::fputs("x", f);
    std::fclose(f);
}

// A change the watch does not hear would block its wait for ever: the wait
// runs aside, and is ended with a failure after a bound against that hang.
bool heard(platform::FolderWatch& watch)
{
    auto waiting = std::async(std::launch::async, [&] { return watch.waitForChange(0); });
    if (waiting.wait_for(std::chrono::seconds(30)) == std::future_status::ready)
        return waiting.get();
    watch.stop();
    waiting.get();
    return false;
}

} // namespace

TEST(FolderWatch, ChangesUnderTheFolderAndStop)
{
    char pattern[] = "/tmp/vp_watch_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    ASSERT_EQ(mkdir((root + "/old").c_str(), 0700), 0);

    platform::FolderWatch watch;
    std::string error;
    ASSERT_TRUE(watch.open(root, error)) << error;

    touch(root + "/old/a.txt");
    EXPECT_TRUE(watch.waitForChange(0));

    ASSERT_EQ(mkdir((root + "/new").c_str(), 0700), 0);
    EXPECT_TRUE(watch.waitForChange(0));
    touch(root + "/new/b.txt");
    EXPECT_TRUE(watch.waitForChange(0)); // the new folder is watched

    watch.stop();
    EXPECT_FALSE(watch.waitForChange(0));
    std::system(("rm -rf " + root).c_str());
}

// What editors and export scripts do to a folder: put a copy in its place,
// or make a subfolder a link to a folder elsewhere. The watch follows the
// names; a link back up does not make the walk go round for ever.
TEST(FolderWatch, FollowsFoldersPutInPlaceAndLinkedFolders)
{
    char pattern[] = "/tmp/vp_watch_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string base = pattern;
    const std::string root = base + "/data";
    ASSERT_EQ(mkdir(root.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((base + "/elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((base + "/later").c_str(), 0700), 0);
    ASSERT_EQ(symlink("../elsewhere", (root + "/textures").c_str()), 0);
    ASSERT_EQ(symlink(".", (root + "/self").c_str()), 0);

    platform::FolderWatch watch;
    std::string error;
    ASSERT_TRUE(watch.open(root, error)) << error;

    touch(base + "/elsewhere/a.png");
    EXPECT_TRUE(heard(watch)) << "a file in a linked folder";
    ASSERT_EQ(symlink("../later", (root + "/scenes").c_str()), 0);
    EXPECT_TRUE(heard(watch));
    touch(base + "/later/b.vsc");
    EXPECT_TRUE(heard(watch)) << "a file in a folder linked after the watch opened";

    ASSERT_EQ(std::system(("mv " + root + " " + base + "/data.old && cp -r " + base + "/data.old " + root).c_str()), 0);
    EXPECT_TRUE(heard(watch));
    touch(root + "/testscript.scr");
    EXPECT_TRUE(heard(watch)) << "a file in the folder put in the root's place";
    ASSERT_EQ(mkdir((root + "/new").c_str(), 0700), 0);
    EXPECT_TRUE(heard(watch));
    touch(root + "/new/c.png");
    EXPECT_TRUE(heard(watch)) << "a file in a folder made in the new root";

    watch.stop();
    std::system(("rm -rf " + base).c_str());
}
