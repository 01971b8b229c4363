// The watch behind live reload: a change anywhere under the folder ends a
// wait, in folders made after the watch opened too, and stop() ends it
// without one. Every change is made before the wait, so nothing depends on
// timing: the kernel queues the notifications.

#include "platform/FolderWatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>

TEST(FolderWatch, ChangesUnderTheFolderAndStop)
{
    char pattern[] = "/tmp/vp_watch_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    ASSERT_EQ(mkdir((root + "/old").c_str(), 0700), 0);

    platform::FolderWatch watch;
    std::string error;
    ASSERT_TRUE(watch.open(root, error)) << error;

    auto touch = [](const std::string& path) {
        std::FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("x", f);
        std::fclose(f);
    };
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
