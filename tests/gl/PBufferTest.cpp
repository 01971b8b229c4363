// Off-screen render buffers: what is rendered into one shows when it is drawn
// to the window, state set while enabled stays with the buffer, the depth can
// be bound, and every operation keeps its rules and messages.

#include "gl/PBuffer.h"
#include "gl/PBufferManager.h"
#include "platform/GLWindow.h"
#include "support/GLTestContext.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void drawQuad(float x0, float y0, float x1, float y1, float z = 0.0f)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0, z);
    glTexCoord2f(1, 0);
    glVertex3f(x1, y0, z);
    glTexCoord2f(1, 1);
    glVertex3f(x1, y1, z);
    glTexCoord2f(0, 1);
    glVertex3f(x0, y1, z);
    glEnd();
}

struct Rgb {
    int r, g, b;
};

Rgb pixelAt(int x, int y)
{
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

void identityMatrices()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

class PBufferTest : public GLTest {
protected:
    void TearDown() override
    {
        PBufferManager::deleteInstance();
        GLTest::TearDown();
    }
};

} // namespace

TEST_F(PBufferTest, RenderedPixelsShowWhenTheBufferIsDrawnToTheWindow)
{
    PBuffer buffer;
    ASSERT_TRUE(buffer.create(64, 64, false));
    buffer.enable();
    EXPECT_EQ(platform::currentContext() == platform::windowContext(), false);
    identityMatrices();
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 0, 0);
    drawQuad(-1, -1, 0, 1); // left half red, right half stays green
    buffer.disable();
    EXPECT_EQ(platform::currentContext(), platform::windowContext());

    glViewport(0, 0, kWidth, kHeight);
    identityMatrices();
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    buffer.bind(kColourBuffer);
    drawQuad(-1, -1, 1, 1);
    buffer.release(kColourBuffer);
    glDisable(GL_TEXTURE_2D);
    glFinish();

    Rgb left = pixelAt(kWidth / 4, kHeight / 2);
    Rgb right = pixelAt(3 * kWidth / 4, kHeight / 2);
    EXPECT_TRUE(left.r > 240 && left.g < 15 && left.b < 15) << left.r << " " << left.g << " " << left.b;
    EXPECT_TRUE(right.r < 15 && right.g > 240 && right.b < 15) << right.r << " " << right.g << " " << right.b;

    // Rendered again after the release: the new picture shows.
    buffer.enable();
    glClearColor(1, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    buffer.disable();
    glViewport(0, 0, kWidth, kHeight);
    glEnable(GL_TEXTURE_2D);
    buffer.bind(kColourBuffer);
    drawQuad(-1, -1, 1, 1);
    buffer.release(kColourBuffer);
    glDisable(GL_TEXTURE_2D);
    Rgb yellow = pixelAt(kWidth / 4, kHeight / 2);
    EXPECT_TRUE(yellow.r > 240 && yellow.g > 240 && yellow.b < 15);
}

TEST_F(PBufferTest, StateSetWhileEnabledStaysWithTheBuffer)
{
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    identityMatrices();
    PBuffer buffer;
    buffer.create(32, 16, false);

    buffer.enable();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 32);
    EXPECT_EQ(viewport[3], 16);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    glClearColor(1, 0, 0, 1);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 6, 7);
    buffer.disable();

    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 0.25f);
    EXPECT_FLOAT_EQ(clear[2], 0.75f);
    GLfloat modelview[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[12], 0.0f);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kWidth);
    GLint drawBuffer = 0;
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    EXPECT_EQ(drawBuffer, GL_BACK);

    buffer.enable();
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[0], 1.0f);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[12], 5.0f);
    buffer.disable();
}

TEST_F(PBufferTest, CreateTwiceKeepsTheFirstSizeAndDestroyAllowsANewOne)
{
    PBuffer buffer;
    EXPECT_FALSE(buffer.isCreated());
    ASSERT_TRUE(buffer.create(128, 64, false));
    EXPECT_TRUE(buffer.create(256, 256, true));
    EXPECT_EQ(buffer.width, 128);
    EXPECT_EQ(buffer.height, 64);
    EXPECT_TRUE(buffer.isCreated());
    buffer.enable();
    buffer.disable();
    GLuint oldTexture = buffer.textureId;
    ASSERT_TRUE(glIsTexture(oldTexture));

    buffer.destroy();
    EXPECT_FALSE(buffer.isCreated());
    EXPECT_EQ(buffer.textureId, 0u);
    EXPECT_FALSE(glIsTexture(oldTexture));
    EXPECT_EQ(platform::currentContext(), platform::windowContext());
    buffer.destroy(); // twice is harmless

    ASSERT_TRUE(buffer.create(32, 32, false));
    buffer.enable();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 32);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    buffer.disable();
    buffer.bind(kColourBuffer);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 32);
}

// A resize gives new storage and keeps the rest: the context with its state,
// the texture names, and depth testing that covers the whole new size.
TEST_F(PBufferTest, AResizedBufferKeepsItsStateAndNamesAndDrawsAtItsNewSize)
{
    for (bool depth : {false, true}) {
        PBuffer buffer;
        ASSERT_TRUE(buffer.create(64, 64, depth));
        buffer.enable();
        glClearColor(1, 0, 0, 1);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(5, 6, 7);
        buffer.disable();
        GLuint colour = buffer.textureId;
        GLuint depthTexture = buffer.depthTextureId;

        EXPECT_TRUE(buffer.resize(200, 120));
        EXPECT_EQ(platform::currentContext(), platform::windowContext());
        EXPECT_EQ(buffer.width, 200);
        EXPECT_EQ(buffer.height, 120);
        EXPECT_EQ(buffer.textureId, colour);
        EXPECT_EQ(buffer.depthTextureId, depthTexture);

        buffer.enable();
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(viewport[2], 200);
        EXPECT_EQ(viewport[3], 120);
        GLfloat clear[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_FLOAT_EQ(clear[0], 1.0f);
        GLfloat modelview[16] = {};
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_EQ(modelview[12], 5.0f);
        // Green nearer than blue everywhere, drawn blue last: the depth
        // buffer must span the new size for green to stay in the far corner.
        identityMatrices();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3f(0, 1, 0);
        drawQuad(-1, -1, 1, 1, -0.5f);
        glColor3f(0, 0, 1);
        drawQuad(-1, -1, 1, 1, 0.5f);
        buffer.disable();

        buffer.bind(kColourBuffer);
        GLint width = 0, height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        EXPECT_EQ(width, 200);
        EXPECT_EQ(height, 120);
        std::vector<unsigned char> texels(size_t(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        const unsigned char* corner = &texels[(size_t(height - 1) * width + width - 1) * 4];
        EXPECT_EQ(corner[1], 255) << "depth " << depth;
        EXPECT_EQ(corner[2], 0) << "depth " << depth;
        buffer.release(kColourBuffer);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }

    PBuffer never;
    EXPECT_FALSE(never.resize(32, 32));
    EXPECT_FALSE(never.isCreated());
}

TEST_F(PBufferTest, SetupTextureOnlyOnceAndNotAfterEnableMadeTheDefault)
{
    PBuffer filtered;
    filtered.create(64, 64, false);
    EXPECT_TRUE(filtered.setupTexture(GL_REPEAT, GL_LINEAR, GL_NEAREST));
    EXPECT_FALSE(filtered.setupTexture(GL_CLAMP_TO_EDGE, GL_NEAREST, GL_LINEAR));
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, filtered.textureId);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);

    PBuffer plain;
    plain.create(64, 64, false);
    plain.enable();
    plain.disable();
    EXPECT_TRUE(plain.hasTexture);
    EXPECT_FALSE(plain.setupTexture(GL_REPEAT, GL_NEAREST, GL_NEAREST));
    glBindTexture(GL_TEXTURE_2D, plain.textureId);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
}

TEST_F(PBufferTest, BufferThatWasNeverCreatedDoesNothingButRefusesRelease)
{
    PBuffer buffer;
    testing::internal::CaptureStderr();
    buffer.enable();
    EXPECT_EQ(platform::currentContext(), platform::windowContext());
    buffer.bind(kColourBuffer);
    EXPECT_EQ(buffer.textureId, 0u);
    buffer.release(kColourBuffer);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "warning: PBuffer::release failed\n");
}

TEST_F(PBufferTest, DepthIsBoundAsATextureWhenAskedFor)
{
    if (!isExtensionSupported("WGL_NV_render_depth_texture"))
        GTEST_SKIP() << "no depth attachments";
    PBuffer buffer;
    ASSERT_TRUE(buffer.create(64, 64, true));
    buffer.enable();
    identityMatrices();
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawQuad(-1, -1, 1, 1, 0.5f); // window depth (0.5 + 1) / 2
    buffer.disable();

    testing::internal::CaptureStderr();
    buffer.bind(kDepthBuffer);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), buffer.depthTextureId);
    std::vector<float> depth(64 * 64);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    EXPECT_NEAR(depth[32 * 64 + 32], 0.75f, 0.001f);
    buffer.release(kDepthBuffer);
    buffer.bind(kColourBuffer);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), buffer.textureId);
    buffer.release(kColourBuffer);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    GLuint depthTexture = buffer.depthTextureId;
    buffer.destroy();
    EXPECT_FALSE(glIsTexture(depthTexture));
}

TEST_F(PBufferTest, DepthOfABufferWithoutDepthBindingIsRefused)
{
    PBuffer buffer;
    buffer.create(64, 64, false);
    buffer.enable();
    buffer.disable();
    testing::internal::CaptureStderr();
    buffer.bind(kDepthBuffer);
    buffer.release(kDepthBuffer);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: PBuffer::bind failed\nwarning: PBuffer::release failed\n");
}

TEST_F(PBufferTest, SizeBeyondTheDriverIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PBuffer buffer;
    EXPECT_EXIT(buffer.create(100000, 64, false), testing::ExitedWithCode(1),
                "error: PBuffer: Could not create. : ERROR_INVALID_DATA");
}

TEST_F(PBufferTest, ManagerSharesABufferByNameUntilTheLastRelease)
{
    PBufferManager* manager = PBufferManager::getInstance();
    PBuffer* a = manager->getPBuffer("renderTarget", 1024, 1024, GL_REPEAT, GL_LINEAR, GL_LINEAR);
    PBuffer* b = manager->getPBuffer("renderTarget", 16, 16, GL_CLAMP_TO_EDGE, GL_NEAREST, GL_NEAREST);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(a->isCreated());
    EXPECT_EQ(a->width, 1024);
    EXPECT_TRUE(a->hasTexture);
    GLint wrap = 0;
    glBindTexture(GL_TEXTURE_2D, a->textureId);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);

    GLuint texture = a->textureId;
    manager->release(a);
    EXPECT_TRUE(glIsTexture(texture));
    manager->release(b);
    EXPECT_FALSE(glIsTexture(texture));
    EXPECT_EQ(manager->size(), 0u);
}

namespace {

// The same window, with the depth-binding capability hidden from the list.
class PBufferWithoutDepthBinding : public GLTest {
protected:
    void SetUp() override
    {
        setenv("VP_HIDE_EXTENSIONS", "WGL_NV_render_depth_texture", 1);
        GLTest::SetUp();
    }
};

} // namespace

TEST_F(PBufferWithoutDepthBinding, DepthRequestFindsNoPixelFormat)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    PBuffer buffer;
    EXPECT_EXIT(buffer.create(64, 64, true), testing::ExitedWithCode(1), "error: PBuffer: No pixel formats found");
}
