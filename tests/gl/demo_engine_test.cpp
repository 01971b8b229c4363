#include "engine/DemoEngine.h"
#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "support/Files.h"
#include "support/TestEffects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

DemoEngine& makeEngine(int samples = 0, float anisotropy = 0.0f)
{
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::settings().swapInterval = 0;
    DemoEngine::create(false, "engine test", 320, 240, samples, anisotropy);
    return *DemoEngine::getInstance();
}

int contextSamples()
{
    GLint samples = 0;
    glGetIntegerv(GL_SAMPLES, &samples);
    return samples;
}

} // namespace

TEST(DemoEngineGL, MultisampleMakesTheWindowAgainWithThatManySamples)
{
    makeEngine(4);
    EXPECT_EQ(DemoEngine::windowsCreated(), 2);
    EXPECT_EQ(contextSamples(), 4);
}

TEST(DemoEngineGL, WithoutTheMultisampleExtensionTheWindowIsMadeOnceSilently)
{
    setenv("VP_HIDE_EXTENSIONS", "WGL_ARB_multisample", 1);
    testing::internal::CaptureStderr();
    makeEngine(4);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(DemoEngine::windowsCreated(), 1);
    EXPECT_EQ(contextSamples(), 0);
}

TEST(DemoEngineGL, AnisotropyIsClampedToTheDriverMaximum)
{
    EXPECT_EQ(clampAnisotropy(8.0f, 4.0f), 4.0f);
    EXPECT_EQ(clampAnisotropy(0.0f, 4.0f), 0.0f);
    EXPECT_EQ(clampAnisotropy(2.0f, 16.0f), 2.0f);
    DemoEngine& engine = makeEngine(0, 1000.0f);
    GLfloat maximum = 0.0f;
    glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maximum);
    ASSERT_GT(maximum, 1.0f);
    EXPECT_EQ(engine.textureAnisotropy(), maximum);
}

TEST(DemoEngineGL, HeldKeyStaysPressedOnceUntilConsumedAndReleaseClearsIt)
{
    DemoEngine& engine = makeEngine();
    engine.windowProc({MessageType::KeyDown, 36, 0});
    EXPECT_TRUE(engine.isKeyDown(36));
    EXPECT_TRUE(engine.isKeyPressedOnce(36));
    EXPECT_TRUE(engine.isKeyPressedOnce(36));
    engine.setKeyConsumed(36, true);
    EXPECT_FALSE(engine.isKeyPressedOnce(36));
    EXPECT_TRUE(engine.isKeyDown(36));
    // Held over a frame, repeating, then let go: up at once, and the release
    // clears the acknowledgement, so the next press is reported again.
    engine.keysReadByFrame();
    engine.windowProc({MessageType::KeyDown, 36, 0});
    EXPECT_FALSE(engine.isKeyPressedOnce(36));
    engine.windowProc({MessageType::KeyUp, 36, 0});
    EXPECT_FALSE(engine.isKeyDown(36));
    engine.windowProc({MessageType::KeyDown, 36, 0});
    EXPECT_TRUE(engine.isKeyPressedOnce(36));
    engine.keysReadByFrame();
    engine.windowProc({MessageType::KeyUp, 36, 0});
    EXPECT_FALSE(engine.isKeyDown(36));
    // Pressed and let go between two frames: pressed once for the next one;
    // acknowledged there, a new tap is a new press.
    engine.windowProc({MessageType::KeyDown, 36, 0});
    engine.windowProc({MessageType::KeyUp, 36, 0});
    EXPECT_TRUE(engine.isKeyPressedOnce(36));
    engine.setKeyConsumed(36, true);
    engine.keysReadByFrame();
    EXPECT_FALSE(engine.isKeyDown(36));
    engine.windowProc({MessageType::KeyDown, 36, 0});
    engine.windowProc({MessageType::KeyUp, 36, 0});
    EXPECT_TRUE(engine.isKeyPressedOnce(36));
    engine.keysReadByFrame();
    // Codes outside the arrays are ignored.
    engine.setKeyConsumed(300, true);
    EXPECT_FALSE(engine.isKeyDown(-1));
    EXPECT_FALSE(engine.isKeyPressedOnce(256));
    engine.clearKeys();
    EXPECT_FALSE(engine.isKeyDown(36));

    engine.windowProc({MessageType::Activate, 1, 0});
    EXPECT_FALSE(engine.isActive());
    engine.windowProc({MessageType::Activate, 0, 0});
    EXPECT_TRUE(engine.isActive());
}

TEST(DemoEngineGL, ResizeToHeightZeroKeepsAValidProjection)
{
    DemoEngine& engine = makeEngine();
    engine.windowProc({MessageType::Size, 320, 0});
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (float v : m)
        EXPECT_TRUE(std::isfinite(v));
    // Aspect = width: the x scale is the y scale divided by 320.
    EXPECT_NEAR(m[0] * 320.0f, m[5], 1e-3f);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 1);
}

// A window resized after the build (drawn straight into it, --fit off): the
// effects already built place their rectangles in the new picture.
TEST(DemoEngineGL, EffectsBuiltBeforeAResizePlaceTheirRectanglesInTheNewPicture)
{
    DemoEngine& engine = makeEngine();
    std::vector<std::string> log;
    RecordingEffect right("right", &log);
    right.x.reset(0.5f);
    right.width.reset(0.5f);
    engine.windowProc({MessageType::Size, 640, 240});
    right.update(0, true);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 320);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 240);
}

TEST(DemoEngineGL, ExtensionLogHoldsBothListsOneNamePerLine)
{
    makeEngine();
    std::string dir = ::testing::TempDir();
    ASSERT_EQ(chdir(dir.c_str()), 0);
    logExtensions();
    std::string log = readFile<std::string>("vp_log_extensions.txt");
    std::string gl = glExtensionList();
    std::string wgl = wglExtensionList();
    EXPECT_EQ(log, gl + "WGL: \n" + wgl);
    EXPECT_NE(gl.find("\nGL_ARB_multitexture\n"), std::string::npos);
    EXPECT_EQ(gl.find(' '), std::string::npos);
    EXPECT_TRUE(isExtensionSupported("WGL_ARB_pbuffer"));
    EXPECT_TRUE(isExtensionSupported("GL_ARB_multitexture"));
    EXPECT_FALSE(isExtensionSupported("GL_ARB_multi"));
    EXPECT_GE(getMaxTextureUnits(), 3);
}

TEST(DemoEngineGL, CheckGLErrorIsQuietWithoutAnErrorAndFatalWithOne)
{
    makeEngine();
    checkGLError("nothing pending");
    EXPECT_EXIT(
        {
            glEnable(0x1234);
            checkGLError("createDepthTexture1");
        },
        ::testing::ExitedWithCode(1), "error: GL error \\(GL_INVALID_ENUM\\) in: createDepthTexture1\n");
}
