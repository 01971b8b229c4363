#include "app/FrameCapture.h"
#include "engine/DemoEngine.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string scratchDir(const char* name)
{
    return std::string(::testing::TempDir()) + name + std::to_string(getpid());
}

// Reads one pixel of an 8-bit RGB PNG; false when the file is not one.
bool readPixel(const std::string& path, int x, int y, int& w, int& h, png_byte rgb[3])
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> buffer(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr))
        return false;
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    const png_byte* p = buffer.data() + (static_cast<size_t>(y) * w + x) * 3;
    rgb[0] = p[0];
    rgb[1] = p[1];
    rgb[2] = p[2];
    return true;
}

} // namespace

TEST(FrameCaptureGL, FramesShowFixedDemoTimesWhateverRealTimeDoes)
{
    FrameCapture capture(scratchDir("cap_times"), 30, 1100);
    capture.install();
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "capture test", 64, 48, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    ASSERT_TRUE(capture.prepare());
    engine.setTimerOffset(-2000); // the script's demo start
    engine.startTimer();
    capture.begin(-2000, 1000);
    // Stopped before its first frame, a capture stands at its --from.
    EXPECT_EQ(capture.lastFrameTimeMs(), 1000);
    engine.setBeforeSwap([](void* c) { static_cast<FrameCapture*>(c)->captureFrame(64, 48); }, &capture);
    int expected[] = {1000, 1033, 1066, 1100};
    for (int k = 0; k < 4; ++k) {
        usleep(k == 2 ? 300000 : 0); // a stall changes nothing
        EXPECT_EQ(engine.getTime(), expected[k]) << "frame " << k;
        EXPECT_FALSE(capture.finished());
        engine.swapBuffers();
    }
    EXPECT_TRUE(capture.finished());
    EXPECT_EQ(capture.framesWritten(), 4);
    EXPECT_EQ(capture.lastFrameTimeMs(), 1100);
    EXPECT_TRUE(capture.flush());
    setActiveClock(nullptr);
}

TEST(FrameCaptureGL, WritesTheDrawnPictureRightSideUp)
{
    std::string dir = scratchDir("cap_pixels");
    FrameCapture capture(dir, 25, -1);
    capture.install();
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "capture test", 80, 60, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    ASSERT_TRUE(capture.prepare());
    engine.startTimer();
    capture.begin(0, 0);
    engine.setBeforeSwap([](void* c) { static_cast<FrameCapture*>(c)->captureFrame(80, 60); }, &capture);

    // Red below, blue in the top half of the window.
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 30, 80, 30);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    engine.swapBuffers();
    EXPECT_FALSE(capture.finished());
    // The frame reaches its file once the capture is flushed.
    ASSERT_TRUE(capture.flush());

    int w = 0, h = 0;
    png_byte top[3], bottom[3];
    ASSERT_TRUE(readPixel(dir + "/frame_000000.png", 40, 5, w, h, top));
    ASSERT_TRUE(readPixel(dir + "/frame_000000.png", 40, 55, w, h, bottom));
    EXPECT_EQ(w, 80);
    EXPECT_EQ(h, 60);
    EXPECT_EQ((std::vector<int>{top[0], top[1], top[2]}), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ((std::vector<int>{bottom[0], bottom[1], bottom[2]}), (std::vector<int>{255, 0, 0}));
    setActiveClock(nullptr);
    std::filesystem::remove_all(dir);
}

TEST(FrameCaptureGL, AnUnwritableFolderIsRefused)
{
    FrameCapture capture("/proc/no/such/folder", 25, -1);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(capture.prepare());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot create capture folder"), std::string::npos);
}
