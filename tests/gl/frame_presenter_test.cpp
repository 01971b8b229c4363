#include "app/CheckErrorLines.h"
#include "app/FrameCapture.h"
#include "app/FramePresenter.h"
#include "app/InfoOverlay.h"
#include "app/OverlayText.h"
#include "effects/MotionBlurFilter.h"
#include "effects/RenderTargetLayer.h"
#include "engine/DemoEngine.h"
#include "engine/EffectManager.h"
#include "gl/GLExtensions.h"
#include "gl/WindowTarget.h"

#include "support/FilterRig.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <png.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string scratchDir(const char* name)
{
    std::string dir = std::string(::testing::TempDir()) + name + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    return dir;
}

// Counts the pixels of an RGB PNG that equal rgb; -1 when it cannot be read.
int countColour(const std::string& path, int r, int g, int b, int& w, int& h)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return -1;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> buffer(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, buffer.data(), 0, nullptr))
        return -1;
    w = static_cast<int>(image.width);
    h = static_cast<int>(image.height);
    int n = 0;
    for (size_t i = 0; i + 2 < buffer.size(); i += 3)
        n += buffer[i] == r && buffer[i + 1] == g && buffer[i + 2] == b;
    return n;
}

// RGB, bottom row first.
std::vector<unsigned char> readPixels(int w, int h)
{
    std::vector<unsigned char> px(static_cast<size_t>(w) * h * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

int count(const std::vector<unsigned char>& px, int r, int g, int b)
{
    int n = 0;
    for (size_t i = 0; i + 2 < px.size(); i += 3)
        n += px[i] == r && px[i + 1] == g && px[i + 2] == b;
    return n;
}

// The window itself, whatever the demo draws into; the demo's target stays bound.
std::vector<unsigned char> windowPixels(int w, int h)
{
    glext::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    std::vector<unsigned char> px = readPixels(w, h);
    selectWindowColourBuffers();
    return px;
}

int countWindow(int w, int h, int r, int g, int b)
{
    return count(windowPixels(w, h), r, g, b);
}

// What the demo draws into, as its effects see it.
int countTarget(int w, int h, int r, int g, int b)
{
    selectWindowColourBuffers();
    return count(readPixels(w, h), r, g, b);
}

class Dummy : public Effect {
public:
    void init(int) override {}
    void render(int, bool) override {}
};

void clearGreen()
{
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace

// The overlay is drawn into the window after capture and screenshots have
// read the picture: neither contains it, while the window shows it; and the
// GL state the demo left is as it was.
TEST(FramePresenterGL, OverlayNeverReachesCapturesOrScreenshots)
{
    std::string dir = scratchDir("presenter");
    FrameCapture capture(dir + "/frames", 25, -1);
    capture.install();
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "presenter test", 160, 120, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    ASSERT_TRUE(capture.prepare());
    engine.startTimer();
    capture.begin(0, 0);

    FramePresenter presenter;
    presenter.install(engine);
    presenter.setCapture(&capture);
    presenter.setScreenshotFolder(dir);
    presenter.setOverlayVisible(true);
    presenter.requestScreenshot();

    glEnable(GL_DEPTH_TEST);
    glViewport(10, 10, 50, 50);
    clearGreen();
    presenter.beforeSwap();

    // The window has the overlay's dark panel and text over the green.
    const int green = countWindow(160, 120, 0, 255, 0);
    EXPECT_LT(green, 160 * 120 - 500);
    EXPECT_GT(presenter.overlay().lineCount(), 1);
    EXPECT_EQ(std::string(presenter.overlay().line(0)).rfind("TIME ", 0), 0u) << presenter.overlay().line(0);
    // The demo's state is untouched.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::vector<int>{viewport[0], viewport[1], viewport[2], viewport[3]}),
              (std::vector<int>{10, 10, 50, 50}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    int w = 0, h = 0;
    ASSERT_EQ(presenter.lastScreenshot(), dir + "/screenshot_0001.png");
    EXPECT_EQ(countColour(dir + "/screenshot_0001.png", 0, 255, 0, w, h), 160 * 120);
    EXPECT_EQ(w, 160);
    EXPECT_EQ(h, 120);
    // The capture hands a frame on a frame later; flush writes it now.
    ASSERT_TRUE(capture.flush());
    EXPECT_EQ(countColour(dir + "/frames/frame_000000.png", 0, 255, 0, w, h), 160 * 120);

    // The next screenshot takes the next number; without a request none is written.
    clearGreen();
    presenter.beforeSwap();
    EXPECT_FALSE(std::filesystem::exists(dir + "/screenshot_0002.png"));
    presenter.requestScreenshot();
    clearGreen();
    presenter.beforeSwap();
    EXPECT_EQ(presenter.lastScreenshot(), dir + "/screenshot_0002.png");

    // Overlay off: the window keeps the demo's picture.
    presenter.setOverlayVisible(false);
    clearGreen();
    presenter.beforeSwap();
    EXPECT_EQ(countWindow(160, 120, 0, 255, 0), 160 * 120);

    presenter.uninstall(engine);
    setActiveClock(nullptr);
    std::filesystem::remove_all(dir);
}

TEST(OverlayGL, ListsTimeFrameTimesAndTheRunningEffectsByLayer)
{
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "overlay test", 64, 48, 0, 0.0f);
    EffectManager& m = *EffectManager::instance();
    Dummy* plain = new Dummy;
    RenderTargetLayer* wrapped = new RenderTargetLayer(new Dummy);
    Dummy* stopped = new Dummy;
    m.registerEffect(7, plain);
    m.registerEffect(20, wrapped);
    m.registerEffect(30, stopped);
    m.addToLayer(2, 20);
    m.addToLayer(0, 7);
    m.addToLayer(5, 30);
    plain->start();
    wrapped->start();

    FrameTimeWindow times;
    times.add(1000000, 16000);
    times.add(1020000, 20000);
    char lines[kOverlayMaxLines][kOverlayLineChars];
    int n = buildOverlayText(-1250, times, m, lines, kOverlayMaxLines);
    ASSERT_EQ(n, 4);
    EXPECT_STREQ(lines[0], "TIME -0:01.250  (-1250 MS)");
    EXPECT_STREQ(lines[1], "FRAME 20.0 MS  AVG 18.0  WORST 20.0  (2 IN 1 S)");
    EXPECT_STREQ(lines[2], "L0    7 Dummy");
    EXPECT_STREQ(lines[3], "L2   20 Dummy*");

    n = buildOverlayText(83456, times, m, lines, 3);
    ASSERT_EQ(n, 3);
    EXPECT_STREQ(lines[0], "TIME 1:23.456  (83456 MS)");
    EXPECT_STREQ(lines[2], "... 2 MORE");
    m.deleteAll();
}

// A failed check in a small window: its error and the notes at the error's
// place are shown whole, wrapped at blanks to the window's width; warnings
// and notes elsewhere stay out.
TEST(OverlayGL, ACheckErrorIsShownWithItsNotesWrappedToTheWindow)
{
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "overlay test", 320, 240, 0, 0.0f);
    const std::string output =
        "data/intro.scr:3: warning: effect 7 is started but never put on a layer\n"
        "data/testscript.scr:78: error: script: event not recognized in timeline line #: 6\n"
        "data/testscript.scr:78: note: \"STRAT\" is not an event word: START, END, INIT, SIGNAL, SET_LAYER or "
        "END_DEMO (or b, e, i, s, l)\n"
        "data/testscript.scr:90: note: signal 98 to 50 took \"TIMEOFFSET\" as its text argument\n";
    InfoOverlay overlay;
    overlay.create();
    overlay.setNotice(checkErrorLines("RELOAD FAILED", output).c_str());
    overlay.draw(320, 240, 0, FrameTimeWindow());

    const size_t columns = (320 - 8) / OverlayFont::kCellWidth;
    std::string shown;
    int i = 0;
    for (; i < overlay.lineCount() && std::string(overlay.line(i)).rfind("TIME ", 0) != 0; ++i) {
        const std::string line = overlay.line(i);
        EXPECT_LE(line.size(), columns) << line;
        shown += (shown.empty() ? "" : " ") + line.substr(line.find_first_not_of(' '));
    }
    EXPECT_GT(i, 4);
    EXPECT_EQ(shown, "RELOAD FAILED data/testscript.scr:78: error: script: event not recognized in timeline line #: 6 "
                     "data/testscript.scr:78: note: \"STRAT\" is not an event word: START, END, INIT, SIGNAL, "
                     "SET_LAYER or END_DEMO (or b, e, i, s, l)");
    overlay.destroy();
}

// Fitting: the demo draws into a framebuffer of its own size that looks like
// the window to it (viewport, copies from the "back buffer" as the filters
// make them), and the picture reaches the window between black bars.
TEST(FramePresenterGL, FittedPictureLooksLikeTheWindowToTheDemo)
{
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "fit test", 1200, 600, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    std::string dir = scratchDir("fit");
    FramePresenter presenter;
    presenter.configureFit(FitMode::Auto, 600, 600);
    presenter.setScreenshotFolder(dir);
    presenter.install(engine); // the 1200x600 window differs from 600x600
    ASSERT_TRUE(presenter.fitting());

    // The effects' view: a 600x600 window with green in it; a copy from the
    // read buffer into a texture works as on the window (no GL error).
    glViewport(0, 0, 600, 600);
    clearGreen();
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, 64, 64, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(countTarget(600, 600, 0, 255, 0), 600 * 600);
    presenter.requestScreenshot();
    presenter.beforeSwap();
    int w = 0, h = 0;
    EXPECT_EQ(countColour(dir + "/screenshot_0001.png", 0, 255, 0, w, h), 600 * 600);
    EXPECT_EQ(w, 600);

    // The window: green in the middle square, black bars of 300 on each side.
    GLint drawn = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    EXPECT_NE(drawn, 0); // bound again for the next frame
    EXPECT_EQ(countWindow(1200, 600, 0, 255, 0), 600 * 600);
    EXPECT_EQ(countWindow(1200, 600, 0, 0, 0), 2 * 300 * 600);

    // Back to the demo's shape: drawing goes straight to the window again.
    WindowMessage size;
    size.type = MessageType::Size;
    size.param1 = 600;
    size.param2 = 600;
    EXPECT_FALSE(presenter.windowMessage(size));
    EXPECT_FALSE(presenter.fitting());
    EXPECT_FALSE(presenter.offScreen());
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawn);
    EXPECT_EQ(drawn, 0);
    size.param1 = 900;
    EXPECT_TRUE(presenter.windowMessage(size)); // the engine must not resize the demo
    EXPECT_TRUE(presenter.fitting());
    glDeleteTextures(1, &tex);
    presenter.uninstall(engine);
    std::filesystem::remove_all(dir);
}

// Below 512 pixels the demo draws into the corner of a framebuffer of at
// least 512 x 512, so a filter's capture square holds all its source drew
// there; the window shows the picture 1:1, and follows the window's size.
TEST(FramePresenterGL, SmallWindowsGiveFiltersTheirWholeCaptureSquare)
{
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "small test", 320, 240, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    FramePresenter presenter; // no fitting, as in a capture
    presenter.install(engine);
    EXPECT_TRUE(presenter.offScreen());
    EXPECT_FALSE(presenter.fitting());

    EffectManager& m = *EffectManager::instance();
    auto* picture = new PictureSource;
    auto* blur = new MotionBlurFilter;
    m.registerEffect(1, picture);
    m.registerEffect(42, blur);
    m.addToLayer(1, 42);
    picture->init(0);
    blur->init(0);
    blur->signal(sig(70, {1}));
    blur->signal(sig(90, {1}));
    blur->start();
    m.renderFrame(0);

    // The red bar runs up the whole left third of the square, the white
    // square sits above the window's 240 rows.
    std::vector<unsigned char> captured(512 * 512 * 4);
    glBindTexture(GL_TEXTURE_2D, blur->historyAt(0)->textureId);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, captured.data());
    auto texel = [&](int x, int y) {
        const unsigned char* p = &captured[(size_t(y) * 512 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(texel(80, 500), (std::vector<int>{230, 30, 30}));
    EXPECT_EQ(texel(370, 370), (std::vector<int>{255, 255, 255}));

    std::vector<unsigned char> drawnPicture = readPixels(320, 240);
    presenter.beforeSwap();
    EXPECT_EQ(windowPixels(320, 240), drawnPicture);

    WindowMessage size;
    size.type = MessageType::Size;
    size.param1 = 400;
    size.param2 = 300;
    EXPECT_FALSE(presenter.windowMessage(size)); // the engine resizes the demo
    EXPECT_TRUE(presenter.offScreen());
    size.param1 = 800;
    size.param2 = 600;
    presenter.windowMessage(size);
    EXPECT_FALSE(presenter.offScreen());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    m.deleteAll();
    TextureManager::deleteInstance();
    presenter.uninstall(engine);
}

// Paused, the presenter keeps the finished picture and later frames show it
// again, whatever the demo's last state (scissor, colour mask) or what is in
// the back buffer by then; a screenshot of a held frame is that picture.
TEST(FramePresenterGL, HeldPictureIsShownAgainAsItWas)
{
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "hold test", 160, 120, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    std::string dir = scratchDir("hold");
    FramePresenter presenter;
    presenter.setScreenshotFolder(dir);
    presenter.install(engine);

    presenter.setKeepPicture(true);
    clearGreen();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 10, 10);
    glColorMask(GL_TRUE, GL_FALSE, GL_FALSE, GL_FALSE);
    presenter.beforeSwap();
    ASSERT_TRUE(presenter.holdsPicture());
    presenter.setKeepPicture(false);

    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    presenter.requestScreenshot();
    presenter.showHeldPicture();
    int w = 0, h = 0;
    ASSERT_EQ(presenter.lastScreenshot(), dir + "/screenshot_0001.png");
    EXPECT_EQ(countColour(dir + "/screenshot_0001.png", 0, 255, 0, w, h), 160 * 120);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    presenter.dropHeldPicture();
    EXPECT_FALSE(presenter.holdsPicture());
    presenter.uninstall(engine);
    std::filesystem::remove_all(dir);
}
