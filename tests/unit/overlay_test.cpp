#include "app/FrameTimeWindow.h"
#include "app/OverlayFont.h"
#include "app/OverlayText.h"
#include "app/Screenshot.h"
#include "gl/DemoFramebuffer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

TEST(FrameTimeWindow, LastAverageAndWorstCoverTheLastSecond)
{
    FrameTimeWindow w;
    EXPECT_EQ(w.averageUs(), 0);
    EXPECT_EQ(w.worstUs(), 0);
    // A slow frame, then a second and more of 20 ms frames: the slow one
    // leaves the window.
    int64_t t = 0;
    t += 300000;
    w.add(t, 300000);
    EXPECT_EQ(w.worstUs(), 300000);
    for (int i = 0; i < 49; ++i) {
        t += 20000;
        w.add(t, 20000);
    }
    EXPECT_EQ(w.worstUs(), 300000); // 980 ms after it: still within the second
    t += 20000;
    w.add(t, 20000);
    EXPECT_EQ(w.worstUs(), 20000);
    EXPECT_EQ(w.averageUs(), 20000);
    EXPECT_EQ(w.count(), 50);
    t += 5000;
    w.add(t, 5000);
    EXPECT_EQ(w.lastUs(), 5000);
    EXPECT_EQ(w.averageUs(), (50 * 20000 + 5000) / 51);

    // Past its capacity it keeps the newest frames and stays consistent.
    FrameTimeWindow fast;
    for (int i = 1; i <= FrameTimeWindow::kCapacity + 100; ++i)
        fast.add(i * 100, i == 50 ? 9000 : 100);
    EXPECT_EQ(fast.count(), FrameTimeWindow::kCapacity);
    EXPECT_EQ(fast.worstUs(), 100);
    EXPECT_EQ(fast.averageUs(), 100);
    // One frame longer than a second stays alone.
    fast.add(10000000, 2000000);
    EXPECT_EQ(fast.count(), 1);
    EXPECT_EQ(fast.averageUs(), 2000000);
}

TEST(Overlay, FontHasEveryCharacterTheOverlayWrites)
{
    unsigned char rows[7];
    for (const char* s = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz .:/-()%*_=,+<>?#[]\""; *s; ++s)
        EXPECT_TRUE(OverlayFont::glyphRows(*s, rows)) << *s;
    EXPECT_FALSE(OverlayFont::glyphRows('~', rows));
    // Glyphs are 5 pixels wide and distinct where they matter.
    unsigned char a[7], b[7];
    for (char c = '0'; c <= 'Z'; ++c) {
        if (!OverlayFont::glyphRows(c, a))
            continue;
        for (unsigned char r : a)
            EXPECT_EQ(r & ~0x1F, 0) << c;
    }
    OverlayFont::glyphRows('0', a);
    OverlayFont::glyphRows('O', b);
    EXPECT_NE(std::string(a, a + 7), std::string(b, b + 7));
}

TEST(Overlay, NoticesWrapAtBlanksAndBreakOnlyWordsTooLongForALine)
{
    char lines[8][kOverlayLineChars];
    const int n = wrapOverlayNotice("HEADING\nshort words wrap here\n"
                                    "data/a/very/long/path/name.scr:7: x",
                                    12, lines, 8);
    const std::vector<std::string> expected = {"HEADING", "short words", "  wrap here", "data/a/very/",
                                               "  long/path/", "  name.scr:7", "  : x"};
    ASSERT_EQ(n, static_cast<int>(expected.size()));
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(lines[i], expected[i]) << i;
    // Never more lines than asked for, nor wider than a line's buffer.
    EXPECT_EQ(wrapOverlayNotice("a b c d e f g h i j k l m n o p", 10, lines, 2), 2);
    const std::string wide(200, 'x');
    ASSERT_EQ(wrapOverlayNotice(wide.c_str(), 500, lines, 8), 4);
    EXPECT_EQ(std::string(lines[0]).size(), size_t(kOverlayLineChars - 1));
}

TEST(Overlay, ScreenshotsTakeTheFirstFreeNumber)
{
    std::string dir = std::string(::testing::TempDir()) + "shots" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    EXPECT_EQ(nextScreenshotPath(dir), dir + "/screenshot_0001.png");
    std::fclose(std::fopen((dir + "/screenshot_0001.png").c_str(), "w"));
    std::fclose(std::fopen((dir + "/screenshot_0003.png").c_str(), "w"));
    EXPECT_EQ(nextScreenshotPath(dir), dir + "/screenshot_0002.png");
    EXPECT_EQ(nextScreenshotPath("."), "screenshot_0001.png");
    std::filesystem::remove_all(dir);
}

TEST(Fit, ThePictureKeepsItsAspectCentredInAnyWindow)
{
    struct Case {
        int dw, dh, ww, wh;
        int x, y, w, h;
    } cases[] = {
        {800, 600, 800, 600, 0, 0, 800, 600},          // same size: the whole window
        {800, 600, 1920, 1080, 240, 0, 1440, 1080},    // 4:3 on 16:9: bars left and right
        {1280, 720, 1280, 1024, 0, 152, 1280, 720},    // 16:9 on 5:4: bars above and below
        {320, 240, 640, 240, 160, 0, 320, 240},        // a widened window
        {320, 120, 1024, 768, 0, 192, 1024, 384},
        {640, 480, 641, 480, 0, 0, 640, 480},          // an odd pixel more: centred, rounded down
        {800, 600, 0, 600, 0, 0, 0, 0},                // a minimised window
    };
    for (const Case& c : cases) {
        int x = -1, y = -1, w = -1, h = -1;
        fitRectangle(c.dw, c.dh, c.ww, c.wh, x, y, w, h);
        EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{c.x, c.y, c.w, c.h}))
            << c.dw << "x" << c.dh << " in " << c.ww << "x" << c.wh;
    }
}
