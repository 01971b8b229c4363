// Scenes on a real GL: texture names and the render mode each combination of
// material textures chooses, the opacity map written into the primary
// texture, the normalisation cube map, the shared environment cube, and what
// lights and cameras send to GL.

#include "gl/Image.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/Mesh.h"
#include "scene/NormalisationCubeMap.h"
#include "support/GLTestContext.h"
#include "support/ImageFiles.h"
#include "support/SceneTestSupport.h"

#include <GL/glu.h>

#include <cmath>
#include <string>
#include <vector>

using namespace testimages;
using ::testing::ExitedWithCode;

namespace {

Scene* loadWithTextures(const SceneWriter& w, const TextureFolder& folder)
{
    SceneFile file(w);
    SceneReader reader;
    return reader.load(file.path.c_str(), folder.prefix().c_str());
}

} // namespace

class SceneGL : public GLTest {
protected:
    void TearDown() override
    {
        SceneManager::deleteInstance();
        TextureManager::deleteInstance();
        SceneReader::setTextureNamesVerbatim(false);
        GLTest::TearDown();
    }
};

TEST_F(SceneGL, RenderModeFollowsTheTexturesThatLoaded)
{
    TextureFolder folder;
    for (const char* name : {"d.png", "s.png", "a.png", "b.png", "o.png", "x.png"})
        folder.add(name, 200, 100, 50);

    struct Case {
        const char* diffuse;
        const char* second;
        const char* additive;
        const char* bump;
        const char* detail;
        bool environment;
        int mode;
    };
    const Case cases[] = {
        {"d.png", "", "", "", "", false, 1},
        {"d.png", "s.png", "", "", "", false, 4},
        {"d.png", "", "", "", "x.png", false, 5},
        {"d.png", "", "", "b.png", "", false, 6},
        {"d.png", "", "", "b.png", "x.png", false, 5}, // first match wins
        {"", "s.png", "", "b.png", "", false, 7},
        {"", "", "", "", "", false, 0},
        {"", "s.png", "", "", "", false, 2},
        {"", "", "a.png", "", "", false, 1},
        {"", "", "", "", "", true, 10},
        {"", "s.png", "", "", "", true, 11},
        {"d.png", "", "", "", "", true, 10},
    };
    SceneWriter w;
    int id = 1;
    for (const Case& c : cases) {
        MaterialRecord& m = w.addMaterial(id++, "m");
        m.diffuseMap = c.diffuse;
        m.secondMap = c.second;
        m.additiveMap = c.additive;
        m.bumpMap = c.bump;
        m.detailMap = c.detail;
        m.environment = c.environment;
    }
    Scene* scene = loadWithTextures(w, folder);
    ASSERT_NE(scene, nullptr);
    TextureManager* textures = TextureManager::getInstance();
    id = 1;
    for (const Case& c : cases) {
        Material* m = scene->findMaterial(id++);
        ASSERT_NE(m, nullptr);
        SCOPED_TRACE(testing::Message() << "material " << m->getId());
        EXPECT_EQ(m->getRenderMode(), c.mode);
        if (*c.additive) {
            EXPECT_TRUE(m->getAdditive());
            EXPECT_TRUE(m->isTransparent());
            EXPECT_EQ(m->getPrimaryMap(), textures->find("a.png"));
        } else if (*c.diffuse) {
            EXPECT_EQ(m->getPrimaryMap(), textures->find("d.png"));
        }
        EXPECT_EQ(m->getUsesCube(), c.mode == 6 || c.mode == 7 || c.mode >= 10);
        EXPECT_EQ(m->getNormalisationCubeMap() != 0, c.mode == 6 || c.mode == 7);
        EXPECT_EQ(m->getEnvironmentCube() != nullptr, c.mode >= 10);
    }
    // Every environment material shares the one "cubemap" texture.
    EXPECT_EQ(scene->findMaterial(10)->getEnvironmentCube(), scene->findMaterial(11)->getEnvironmentCube());
    EXPECT_EQ(textures->refCount("cubemap"), 3);
    EXPECT_EQ(scene->findMaterial(10)->getEnvironmentCube()->target, GLenum(GL_TEXTURE_CUBE_MAP_ARB));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneGL, TextureNamesLoseTheirFolderUnlessVerbatim)
{
    TextureFolder folder;
    folder.add("wood.png", 10, 20, 30);
    folder.add("stone.png", 40, 50, 60);
    SceneWriter w;
    MaterialRecord& m = w.addMaterial(1, "wood");
    m.diffuseMap = "C:\\maps\\wood.png";
    m.secondMap = "stone.png";
    LightRecord& lamp = w.addLight(2, "Projector", Vec3(0, 10, 0), Vec3(1, 1, 1));
    lamp.projectedTexture = "D:\\slides\\stone.png";
    Scene* scene = loadWithTextures(w, folder);
    ASSERT_NE(scene, nullptr);
    TextureManager* textures = TextureManager::getInstance();
    EXPECT_EQ(textures->refCount("wood.png"), 1);
    EXPECT_EQ(textures->refCount("stone.png"), 2);
    EXPECT_EQ(textures->refCount("C:\\maps\\wood.png"), 0);
    Light* light = scene->getLights();
    ASSERT_NE(light->getProjectedTexture(), nullptr);
    EXPECT_FALSE(light->isEnabled());

    // Verbatim: the stored name is the whole path, with no folder in front.
    SceneReader::setTextureNamesVerbatim(true);
    SceneWriter v;
    MaterialRecord& mv = v.addMaterial(1, "verbatim");
    mv.diffuseMap = folder.prefix() + "wood.png";
    SceneFile file(v, "verbatim");
    SceneReader reader;
    ASSERT_NE(reader.load(file.path.c_str(), "no/such/folder/"), nullptr);
    EXPECT_EQ(textures->refCount((folder.prefix() + "wood.png").c_str()), 1);
}

TEST_F(SceneGL, MissingTextureIsFatalWithTheNameUsed)
{
    TextureFolder folder;
    SceneWriter w;
    MaterialRecord& m = w.addMaterial(1, "m");
    m.bumpMap = "C:\\maps\\gone.png";
    EXPECT_EXIT(loadWithTextures(w, folder), ExitedWithCode(1),
                "Error in parsing SceneGL\\.MissingTextureIsFatalWithTheNameUsed\\.scene\\.vsc: could not load "
                "texture gone\\.png\n");
}

TEST_F(SceneGL, OpacityMapBecomesThePrimaryAlphaOnlyWhenSizesMatch)
{
    TextureFolder folder;
    folder.add("base.png", 200, 100, 50);
    folder.add("mask.png", 30, 60, 90);
    folder.add("big.png", 30, 60, 90, 128); // a 128 x 128 texture beside 64 x 64 ones
    SceneWriter w;
    MaterialRecord& m = w.addMaterial(1, "masked");
    m.diffuseMap = "base.png";
    m.opacityMap = "mask.png";
    MaterialRecord& other = w.addMaterial(2, "mismatch");
    other.diffuseMap = "d2.png";
    other.opacityMap = "big.png";
    folder.add("d2.png", 1, 2, 3);
    Scene* scene = loadWithTextures(w, folder);
    ASSERT_NE(scene, nullptr);

    Material* masked = scene->findMaterial(1);
    EXPECT_TRUE(masked->getAlphaTest());
    Image* image = masked->getPrimaryMap()->getImage();
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->bitsPerPixel, 32);
    EXPECT_EQ(image->pixels[3], 60); // (30 + 60 + 90) / 3
    EXPECT_EQ(image->pixels[0], 200);
    // The GL texture was rebuilt with the new alpha.
    masked->getPrimaryMap()->bind();
    std::vector<unsigned char> level(64 * 64 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, level.data());
    EXPECT_EQ(level[3], 60);
    EXPECT_EQ(level[level.size() - 1], 60);

    Material* mismatch = scene->findMaterial(2);
    EXPECT_TRUE(mismatch->getAlphaTest());
    EXPECT_EQ(mismatch->getPrimaryMap()->getImage()->pixels[3], 255);
}

TEST_F(SceneGL, NormalisationCubeMapPointsEachTexelAtItself)
{
    Material m("bump", 1);
    m.setRenderMode(kModeBump);
    GLuint cube = m.getNormalisationCubeMap();
    ASSERT_NE(cube, 0u);
    m.setRenderMode(kModeBumpSecond);
    EXPECT_EQ(m.getNormalisationCubeMap(), cube); // made once

    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, cube);
    GLint width = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(format, GL_RGB8);
    GLint wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_R, &wrap);
    EXPECT_EQ(wrap, GL_CLAMP_TO_EDGE);

    const Vec3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    std::vector<unsigned char> face(64 * 64 * 3);
    for (int f = 0; f < 6; ++f) {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + GLenum(f), 0, GL_RGB, GL_UNSIGNED_BYTE, face.data());
        // The texel next to the face centre points (almost) along the face's axis.
        const unsigned char* t = &face[(32 * 64 + 32) * 3];
        for (int c = 0; c < 3; ++c) {
            float expected = 255.0f * (0.5f * (&axes[f].x)[c] + 0.5f);
            EXPECT_NEAR(t[c], expected, 4.0f) << "face " << f << " component " << c;
        }
        // Every texel encodes a unit vector.
        for (int i = 0; i < 64 * 64; i += 97) {
            float x = face[size_t(i) * 3] / 127.5f - 1.0f;
            float y = face[size_t(i) * 3 + 1] / 127.5f - 1.0f;
            float z = face[size_t(i) * 3 + 2] / 127.5f - 1.0f;
            EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 1.0f, 0.02f);
        }
    }
    // The pure fill agrees with one face's corner rule: +x, row 0, column 0
    // is direction (32, 31.5, 31.5).
    unsigned char texel[64 * 64 * 3];
    fillNormalisationCubeFace(0, 64, texel);
    float n = std::sqrt(32.0f * 32.0f + 2 * 31.5f * 31.5f);
    EXPECT_EQ(texel[0], static_cast<unsigned char>(255.0f * (0.5f * 32.0f / n + 0.5f)));
    EXPECT_EQ(texel[1], static_cast<unsigned char>(255.0f * (0.5f * 31.5f / n + 0.5f)));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneGL, LightsSendColoursPositionsAndSpotsToTheirOwnGlLight)
{
    Scene scene;
    Light* key = new Light("Key", 1);
    key->setColour(Color4(1, 0, 0, 1));
    key->setPosition(1, 2, 3);
    Light* fill = new Light("Fill", 2);
    fill->setColour(Color4(0.3f, 0.6f, 0.9f, 1));
    scene.addLight(key);
    scene.addLight(fill);

    GLfloat c[4];
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, c);
    EXPECT_FLOAT_EQ(c[0], 0.3f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, c);
    EXPECT_FLOAT_EQ(c[2], 0.9f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));

    fill->setGrey(true);
    glGetLightfv(GL_LIGHT1, GL_DIFFUSE, c);
    EXPECT_NEAR(c[0], 0.6f, 1e-6f);
    EXPECT_NEAR(c[2], 0.6f, 1e-6f);

    Mesh* target = new Mesh("Target", 3);
    target->setPosition(1, 2, -7);
    scene.addObject(target);
    key->setTarget(target);
    key->setSpotCutoff(30);
    key->setSpotExponent(10);
    key->setLinearAttenuation(0.5f);
    fill->setEnabled(false);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scene.applyLights();
    glGetLightfv(GL_LIGHT0, GL_POSITION, c);
    EXPECT_FLOAT_EQ(c[0], 1.0f);
    EXPECT_FLOAT_EQ(c[2], 3.0f);
    EXPECT_FLOAT_EQ(c[3], 1.0f);
    glGetLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, c);
    EXPECT_FLOAT_EQ(c[0], 0.0f);
    EXPECT_FLOAT_EQ(c[2], -10.0f);
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, c);
    EXPECT_FLOAT_EQ(c[0], 30.0f);
    glGetLightfv(GL_LIGHT0, GL_LINEAR_ATTENUATION, c);
    EXPECT_FLOAT_EQ(c[0], 0.5f);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1));
    EXPECT_GE(Light::maxGlLights(), 8);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneGL, CameraSetsProjectionAndLooksAtItsTarget)
{
    Camera camera("Cam", 1);
    camera.setPosition(0, 0, 10);
    camera.setFieldOfView(90.0f);
    camera.setAspect(2.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    camera.apply();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_NEAR(m[5], 1.0f, 1e-5f); // cot(45 degrees)
    EXPECT_NEAR(m[0], 0.5f, 1e-5f); // divided by the aspect
    // No target: the view stays the identity, wherever the camera is.
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[14], 0.0f);

    Marker target("T", 2);
    target.setPosition(0, 0, 0);
    camera.setTarget(&target);
    glLoadIdentity();
    camera.apply();
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[14], -10.0f, 1e-5f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
