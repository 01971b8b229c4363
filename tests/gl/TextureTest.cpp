// Textures on a real GL: the upload sizes, what the texels hold after
// widening, scaling and mipmapping, blank, depth and cube textures, the
// anisotropy setting, and that reloading the production's textures does not
// leak GL objects.

#include "gl/Image.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "support/GLTestContext.h"
#include "support/ImageFiles.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace testimages;

namespace {

Image* solidImage(int width, int height, unsigned char value = 100)
{
    return makeImage(width, height, 24, std::vector<unsigned char>(size_t(width) * height * 3, value));
}

GLint levelSize(GLenum target, int level, GLenum which)
{
    GLint value = 0;
    glGetTexLevelParameteriv(target, level, which, &value);
    return value;
}

std::vector<unsigned char> texels(GLenum target, int level)
{
    std::vector<unsigned char> out(size_t(levelSize(target, level, GL_TEXTURE_WIDTH)) *
                                   size_t(levelSize(target, level, GL_TEXTURE_HEIGHT)) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

// Texture names in use, found by asking GL about every name up to `upTo`.
int liveTextures(GLuint upTo = 4096)
{
    int count = 0;
    for (GLuint name = 1; name <= upTo; ++name)
        count += glIsTexture(name) ? 1 : 0;
    return count;
}

class TextureTest : public GLTest {
protected:
    void TearDown() override
    {
        TextureManager::deleteInstance();
        Texture::setAnisotropy(0.0f);
        GLTest::TearDown();
    }
};

} // namespace

TEST_F(TextureTest, UploadSizesFollowThePowerOfTwoRule)
{
    struct Case {
        int imageWidth, imageHeight, width, height;
    };
    const Case cases[] = {
        {64, 64, 64, 64},   {65, 64, 128, 128}, {100, 300, 128, 512}, {256, 64, 256, 256},
        {32, 32, 64, 64},   {64, 256, 64, 256}, {1, 1, 64, 64},       {513, 2, 1024, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.imageWidth << "x" << c.imageHeight);
        std::unique_ptr<Texture> texture(
            Texture::createTextureFromImage(solidImage(c.imageWidth, c.imageHeight), GL_TEXTURE_2D));
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->imageWidth, c.imageWidth);
        EXPECT_EQ(texture->imageHeight, c.imageHeight);
        EXPECT_EQ(texture->width, c.width);
        EXPECT_EQ(texture->height, c.height);
        EXPECT_EQ(texture->getImage()->width, c.width);
        EXPECT_EQ(texture->getImage()->bitsPerPixel, 32);

        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), texture->textureId);
        EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), c.height);
        // A full chain down to 1x1.
        int levels = 0;
        for (int side = c.width > c.height ? c.width : c.height; side > 1; side /= 2)
            ++levels;
        EXPECT_EQ(levelSize(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelSize(GL_TEXTURE_2D, levels, GL_TEXTURE_HEIGHT), 1);
    }
}

TEST_F(TextureTest, TexelsAreTheNearestSourcePixelsUnflippedWithOpaqueAlpha)
{
    // 3x2 RGB: row 0 = 10, 20, 30; row 1 = 40, 50, 60 (grey levels).
    std::vector<unsigned char> rgb;
    for (unsigned char v : {10, 20, 30, 40, 50, 60})
        rgb.insert(rgb.end(), {v, v, v});
    std::unique_ptr<Texture> texture(Texture::createTextureFromImage(makeImage(3, 2, 24, rgb), GL_TEXTURE_2D));
    ASSERT_NE(texture, nullptr);
    std::vector<unsigned char> level0 = texels(GL_TEXTURE_2D, 0);
    ASSERT_EQ(level0.size(), 64u * 64u * 4u);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const unsigned char* t = &level0[size_t(y * 64 + x) * 4];
            const int expected = 10 + 10 * int(float(x) * (3.0f / 64.0f)) + 30 * (y >= 32 ? 1 : 0);
            ASSERT_EQ(t[0], expected) << x << "," << y;
            ASSERT_EQ(t[3], 255);
        }
}

TEST_F(TextureTest, BlankTexturesMarkANonPowerOfTwoRequestInGrey)
{
    std::unique_ptr<Texture> odd(Texture::createRenderTexture(640, 480, GL_TEXTURE_2D, GL_RGBA));
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 1024);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), 512);
    EXPECT_EQ(odd->width, 1024);
    EXPECT_EQ(odd->height, 512);
    EXPECT_EQ(odd->getImage(), nullptr);
    std::vector<unsigned char> t = texels(GL_TEXTURE_2D, 0);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 1024; ++x) {
            const unsigned char want = x < 640 && y < 480 ? 0x7F : 0;
            const unsigned char* p = &t[size_t(y * 1024 + x) * 4];
            ASSERT_TRUE(p[0] == want && p[1] == want && p[2] == want && p[3] == want) << x << "," << y;
        }

    std::unique_ptr<Texture> square(Texture::createRenderTexture(512, 512, GL_TEXTURE_2D, GL_RGBA));
    ASSERT_NE(square, nullptr);
    std::vector<unsigned char> zero = texels(GL_TEXTURE_2D, 0);
    ASSERT_EQ(zero.size(), 512u * 512u * 4u);
    for (unsigned char byte : zero)
        ASSERT_EQ(byte, 0);

    std::unique_ptr<Texture> tiny(Texture::createRenderTexture(3, 5, GL_TEXTURE_2D, GL_RGBA));
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 8);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT), 8);
}

TEST_F(TextureTest, BlankTextureWiderThan1024IsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(Texture::createRenderTexture(1025, 16, GL_TEXTURE_2D, GL_RGBA), testing::ExitedWithCode(1),
                "error: Texture: dimensions too large");
}

TEST_F(TextureTest, DepthAndCubeTexturesAndUnknownTargets)
{
    std::unique_ptr<Texture> depth(Texture::createRenderTexture(256, 100, GL_DEPTH_COMPONENT, GL_RGBA));
    ASSERT_NE(depth, nullptr);
    EXPECT_EQ(depth->width, 256);
    EXPECT_EQ(depth->height, 256);
    glBindTexture(GL_TEXTURE_2D, 0);
    depth->bind();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(GLuint(bound), depth->textureId);
    EXPECT_EQ(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH), 256);
    EXPECT_GT(levelSize(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE), 0);

    std::unique_ptr<Texture> cube(Texture::createRenderTexture(64, 64, GL_TEXTURE_CUBE_MAP_ARB, GL_RGBA));
    ASSERT_NE(cube, nullptr);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB));
    cube->bind();
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP_ARB, &bound);
    EXPECT_EQ(GLuint(bound), cube->textureId);
    for (GLenum face = GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB; face <= GL_TEXTURE_CUBE_MAP_NEGATIVE_Z_ARB; ++face)
        EXPECT_EQ(levelSize(face, 0, GL_TEXTURE_WIDTH), 64);
    GLint wrapR = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_R, &wrapR);
    EXPECT_EQ(wrapR, GL_CLAMP_TO_EDGE);

    EXPECT_EQ(Texture::createRenderTexture(64, 64, GL_TEXTURE_3D, GL_RGBA), nullptr);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TextureTest, PendingGlErrorAroundADepthTextureIsFatal)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            glEnable(0xFFFF);
            Texture::createRenderTexture(64, 64, GL_DEPTH_COMPONENT, GL_RGBA);
        },
        testing::ExitedWithCode(1), "error: GL error \\(GL_INVALID_ENUM\\) in: createDepthTexture1");
}

TEST_F(TextureTest, AnisotropyIsSetOnlyWhenAboveZero)
{
    if (!isExtensionSupported("GL_EXT_texture_filter_anisotropic"))
        GTEST_SKIP() << "no anisotropic filtering";
    GLfloat level = 0.0f;
    std::unique_ptr<Texture> plain(Texture::createTextureFromImage(solidImage(8, 8), GL_TEXTURE_2D));
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &level);
    EXPECT_EQ(level, 1.0f);

    Texture::setAnisotropy(4.0f);
    std::unique_ptr<Texture> filtered(Texture::createTextureFromImage(solidImage(8, 8), GL_TEXTURE_2D));
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, &level);
    EXPECT_EQ(level, 4.0f);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(TextureTest, NonTwoDTargetKeepsThePictureWithoutUploading)
{
    std::unique_ptr<Texture> kept(Texture::createTextureFromImage(solidImage(10, 10), GL_TEXTURE_CUBE_MAP_ARB));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->textureId, 0u);
    EXPECT_EQ(kept->getImage()->width, 10);
    EXPECT_EQ(kept->getImage()->bitsPerPixel, 24);
}

TEST_F(TextureTest, DeletingATextureDeletesItsGlObject)
{
    Texture* file = Texture::createTextureFromImage(solidImage(16, 16), GL_TEXTURE_2D);
    Texture* blank = Texture::createRenderTexture(100, 100, GL_TEXTURE_2D, GL_RGBA);
    GLuint fileId = file->textureId, blankId = blank->textureId;
    ASSERT_TRUE(glIsTexture(fileId));
    ASSERT_TRUE(glIsTexture(blankId));
    delete file;
    delete blank;
    EXPECT_FALSE(glIsTexture(fileId));
    EXPECT_FALSE(glIsTexture(blankId));
}

TEST_F(TextureTest, ManagerSharesByNameAndLoadsFromTheFirstDirectory)
{
    ScratchDir first, second;
    ASSERT_TRUE(writeBytes(first.path("wall.png"), encodePngRgb(1, 1, {255, 0, 0}, false)));
    ASSERT_TRUE(writeBytes(second.path("wall.png"), encodePngRgb(1, 1, {0, 0, 255}, false)));
    TextureManager* manager = TextureManager::getInstance();
    Texture* a = manager->getTexture("wall.png", first.prefix().c_str(), GL_TEXTURE_2D);
    Texture* b = manager->getTexture("wall.png", second.prefix().c_str(), GL_TEXTURE_2D);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->getImage()->pixels[0], 255);
    EXPECT_EQ(manager->refCount("wall.png"), 2);

    EXPECT_EQ(manager->getTexture("missing.png", first.prefix().c_str(), GL_TEXTURE_2D), nullptr);
    EXPECT_EQ(manager->refCount("missing.png"), 0);

    Texture* target = manager->getRenderTexture("filterTarget", 640, 480, GL_TEXTURE_2D, GL_RGBA);
    EXPECT_EQ(manager->getRenderTexture("filterTarget", 64, 64, GL_TEXTURE_2D, GL_RGBA), target);
    EXPECT_EQ(target->width, 1024);
}

TEST_F(TextureTest, TwentyReloadsLeaveTheLiveTextureCountUnchanged)
{
    ScratchDir dir;
    for (int i = 0; i < 6; ++i) {
        std::vector<unsigned char> rgb(size_t(40 + i) * 30 * 3, static_cast<unsigned char>(i * 40));
        ASSERT_TRUE(writeBytes(dir.path("t" + std::to_string(i) + ".png"), encodePngRgb(40 + i, 30, rgb, false)));
    }
    std::vector<unsigned char> grey(64 * 64, 77);
    ASSERT_TRUE(writeBytes(dir.path("j.jpg"), encodeJpeg(64, 64, grey, TJPF_GRAY, TJSAMP_GRAY)));

    TextureManager* manager = TextureManager::getInstance();
    auto loadSet = [&] {
        for (int i = 0; i < 6; ++i) {
            std::string name = "t" + std::to_string(i) + ".png";
            ASSERT_NE(manager->getTexture(name.c_str(), dir.prefix().c_str(), GL_TEXTURE_2D), nullptr);
            // A second user of the same file, as two scenes would be.
            manager->getTexture(name.c_str(), dir.prefix().c_str(), GL_TEXTURE_2D);
        }
        ASSERT_NE(manager->getTexture("j.jpg", dir.prefix().c_str(), GL_TEXTURE_2D), nullptr);
        manager->getRenderTexture("filterTarget", 640, 480, GL_TEXTURE_2D, GL_RGBA);
        manager->getRenderTexture("ShadowMapTexture", 256, 256, GL_DEPTH_COMPONENT, GL_RGBA);
        manager->getRenderTexture("cubemap", 64, 64, GL_TEXTURE_CUBE_MAP_ARB, GL_RGBA);
    };

    const int before = liveTextures();
    loadSet();
    const int loaded = liveTextures();
    EXPECT_EQ(loaded, before + 10);
    for (int reload = 0; reload < 20; ++reload) {
        manager->releaseAll();
        loadSet();
    }
    EXPECT_EQ(liveTextures(), loaded);
    TextureManager::deleteInstance();
    EXPECT_EQ(liveTextures(), before);
}
