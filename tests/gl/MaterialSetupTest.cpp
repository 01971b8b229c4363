// Material::setup on a real GL: the texture units, enables, environment modes
// and combiners of every render mode read back with glGet, the modes whose
// textures are missing, and the blending, depth and culling rules.

#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/Material.h"
#include "scene/SceneTextures.h"
#include "support/GLTestContext.h"

#include <GL/glext.h>

namespace {

enum Target { kNone, k1D, k2D, kCube };

// What one texture unit should show after setup.
struct UnitState {
    Target target = kNone;
    GLuint texture = 0;  // bound to that target
    GLint env = 0;       // GL_TEXTURE_ENV_MODE; 0: not checked
    GLint combine = 0;   // GL_COMBINE_RGB_ARB when env is GL_COMBINE_ARB
};

struct Textures {
    Texture* primary;
    Texture* second;
    Texture* detail;
    Texture* bump;
    Texture* ramp;
};

void selectUnit(int unit)
{
    glext::glActiveTextureARB(GL_TEXTURE0_ARB + unsigned(unit));
}

GLint integer(GLenum what)
{
    GLint v = 0;
    glGetIntegerv(what, &v);
    return v;
}

void expectUnit(int unit, const UnitState& want)
{
    SCOPED_TRACE(testing::Message() << "unit " << unit);
    selectUnit(unit);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_1D) != 0, want.target == k1D);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D) != 0, want.target == k2D);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB) != 0, want.target == kCube);
    if (want.target != kNone) {
        GLenum binding = want.target == k1D ? GL_TEXTURE_BINDING_1D
                         : want.target == kCube ? GL_TEXTURE_BINDING_CUBE_MAP_ARB
                                                : GL_TEXTURE_BINDING_2D;
        EXPECT_EQ(GLuint(integer(binding)), want.texture);
    }
    if (want.env) {
        GLint env = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
        EXPECT_EQ(env, want.env);
        if (want.env == GL_COMBINE_ARB) {
            GLint combine = 0;
            glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, &combine);
            EXPECT_EQ(combine, want.combine);
        }
    }
    selectUnit(0);
}

class MaterialSetup : public GLTest {
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        auto blank = [](const char* name) {
            return TextureManager::getInstance()->getRenderTexture(name, 64, 64, GL_TEXTURE_2D, GL_RGBA);
        };
        tex = {blank("primary"), blank("second"), blank("detail"), blank("bump"), getToonRamp()};
        ASSERT_NE(tex.ramp, nullptr);
    }
    void TearDown() override
    {
        TextureManager::deleteInstance();
        GLTest::TearDown();
    }
    void giveAll(Material& m)
    {
        m.setPrimaryMap(tex.primary);
        m.setSecondMap(tex.second);
        m.setDetailMap(tex.detail);
        m.setBumpMap(tex.bump);
        m.setRamp(tex.ramp);
    }
    Textures tex{};
};

} // namespace

TEST_F(MaterialSetup, EachModeSetsItsUnitsAndCombiners)
{
    ASSERT_GE(getMaxTextureUnits(), 3);
    struct Case {
        int mode;
        UnitState unit[3];
        bool lighting;
    };
    // The normalisation cube map is each material's own: filled in below.
    const GLuint P = tex.primary->textureId, S = tex.second->textureId, D = tex.detail->textureId,
                 B = tex.bump->textureId, R = tex.ramp->textureId;
    Material probe("probe", 1);
    probe.setRenderMode(10);
    const GLuint E = probe.getEnvironmentCube()->textureId;
    const Case cases[] = {
        {0, {{}, {}, {}}, true},
        {1, {{k2D, P, GL_MODULATE}, {}, {}}, true},
        {2, {{k2D, S, GL_MODULATE}, {}, {}}, true},
        {3, {{k2D, S, GL_MODULATE}, {}, {}}, false},
        {4, {{k2D, P, GL_MODULATE}, {k2D, S, GL_ADD}, {}}, false},
        {5, {{k2D, P, GL_MODULATE}, {k2D, D, GL_MODULATE}, {}}, false},
        {6, {{k2D, B, GL_COMBINE_ARB, GL_REPLACE}, {kCube, 0, GL_COMBINE_ARB, GL_DOT3_RGB_ARB}, {}}, false},
        {7,
         {{k2D, B, GL_COMBINE_ARB, GL_REPLACE},
          {kCube, 0, GL_COMBINE_ARB, GL_DOT3_RGB_ARB},
          {k2D, S, GL_MODULATE}},
         false},
        {8, {{k1D, R, GL_MODULATE}, {}, {}}, false},
        {9, {{k1D, R, GL_MODULATE}, {k2D, P, GL_COMBINE_ARB, GL_ADD_SIGNED_ARB}, {}}, false},
        {10, {{kCube, E, GL_MODULATE}, {}, {}}, false},
        {11, {{kCube, E, GL_MODULATE}, {k2D, S, GL_ADD}, {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        Material m("m", 2);
        giveAll(m);
        m.setRenderMode(c.mode);
        glEnable(GL_CULL_FACE);
        m.setup();
        for (int u = 0; u < 3; ++u) {
            UnitState want = c.unit[u];
            if ((c.mode == 6 || c.mode == 7) && u == 1)
                want.texture = m.getNormalisationCubeMap();
            expectUnit(u, want);
        }
        EXPECT_EQ(glIsEnabled(GL_LIGHTING) != 0, c.lighting);
        EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(GL_ACTIVE_TEXTURE_ARB), GL_TEXTURE0_ARB);
        if (c.mode == 0) {
            EXPECT_EQ(integer(GL_LIGHT_MODEL_COLOR_CONTROL), GL_SINGLE_COLOR);
        } else if (c.mode <= 3) {
            EXPECT_EQ(integer(GL_LIGHT_MODEL_COLOR_CONTROL), GL_SEPARATE_SPECULAR_COLOR);
        }
        m.end();
        // Everything is back as it was before setup.
        for (int u = 0; u < 3; ++u)
            expectUnit(u, UnitState{});
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        glDisable(GL_CULL_FACE);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(MaterialSetup, ModesWithMissingTexturesSetNoTextureState)
{
    struct Case {
        int mode;
        bool primary, second, detail, bump, ramp; // what the material has
    };
    const Case cases[] = {
        {1, false, true, true, true, true},   {2, true, false, true, true, true},
        {3, true, false, true, true, true},   {4, true, false, true, true, true},
        {4, false, true, true, true, true},   {5, true, true, false, true, true},
        {6, false, true, true, true, true},   {6, true, true, true, false, true},
        {7, true, false, true, true, true},   {8, true, true, true, true, false},
        {9, false, true, true, true, true},   {9, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        Material m("m", 2);
        m.setPrimaryMap(c.primary ? tex.primary : nullptr);
        m.setSecondMap(c.second ? tex.second : nullptr);
        m.setDetailMap(c.detail ? tex.detail : nullptr);
        m.setBumpMap(c.bump ? tex.bump : nullptr);
        m.setRamp(c.ramp ? tex.ramp : nullptr);
        m.setRenderMode(c.mode);
        EXPECT_FALSE(m.hasModeTextures());
        m.setup();
        for (int u = 0; u < 3; ++u)
            expectUnit(u, UnitState{});
        // The material's colours still reach GL.
        GLfloat diffuse[4] = {};
        glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        EXPECT_FLOAT_EQ(diffuse[0], 0.8f);
        m.end();
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MaterialSetup, OpacityAdditiveAndTheFlags)
{
    // Half opacity: blended without depth writes, and transparent.
    Material half("half", 1);
    half.setOpacity(0.5f);
    EXPECT_TRUE(half.isTransparent());
    half.setup();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_FALSE(depthWrites);
    GLfloat diffuse[4] = {};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[3], 0.5f);
    half.end();
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);

    // Opaque and additive: transparent too, blended one to one, depth written.
    Material glow("glow", 2);
    glow.setAdditive(true);
    EXPECT_TRUE(glow.isTransparent());
    glow.setup();
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    glow.end();
    glow.setAdditive(false);
    EXPECT_FALSE(glow.isTransparent());

    // Stencil, alpha test, two-sided, wireframe, unlit and the texture matrix.
    Material flags("flags", 3);
    flags.setStencil(true);
    flags.setAlphaTest(true);
    flags.setAlphaReference(0.25f);
    flags.setTwoSided(true);
    flags.setWireframe(true);
    flags.setUnlit(true);
    flags.setTextureMatrix(true, Vec3(0, 0, 90), Vec3(0.5f, 0, 0), Vec3(2, 2, 1));
    flags.setup();
    EXPECT_TRUE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(integer(GL_STENCIL_FUNC), GL_NOTEQUAL);
    EXPECT_EQ(integer(GL_STENCIL_REF), 1);
    EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(integer(GL_ALPHA_TEST_FUNC), GL_GREATER);
    GLfloat reference = 0;
    glGetFloatv(GL_ALPHA_TEST_REF, &reference);
    EXPECT_FLOAT_EQ(reference, 0.25f);
    EXPECT_EQ(integer(GL_LIGHT_MODEL_TWO_SIDE), GL_TRUE);
    GLint polygonMode[2] = {};
    glGetIntegerv(GL_POLYGON_MODE, polygonMode);
    EXPECT_EQ(polygonMode[0], GL_LINE);
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING)); // mode 0 lights, unlit wins
    GLfloat texture[16] = {};
    glGetFloatv(GL_TEXTURE_MATRIX, texture);
    // Translate (0.5, 0, 0), turn 90 degrees about z, scale 2: x goes to y.
    EXPECT_NEAR(texture[0], 0.0f, 1e-6f);
    EXPECT_NEAR(texture[1], 2.0f, 1e-6f);
    EXPECT_NEAR(texture[12], 0.5f, 1e-6f);
    flags.end();
    glGetFloatv(GL_TEXTURE_MATRIX, texture);
    EXPECT_FLOAT_EQ(texture[0], 1.0f);
    EXPECT_FLOAT_EQ(texture[12], 0.0f);
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(MaterialSetup, LitColoursOfModeZeroAndGrey)
{
    Material m("m", 1);
    m.setAmbient(0.3f, 0.0f, 0.0f);
    m.setDiffuse(0.9f, 0.6f, 0.0f);
    m.setSpecular(1.0f, 0.5f, 0.0f);
    m.setShininess(0.5f, 0.4f);
    m.setOpacity(0.75f);
    m.setup();
    GLfloat v[4] = {};
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 0.9f);
    EXPECT_FLOAT_EQ(v[3], 0.75f);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, v);
    EXPECT_FLOAT_EQ(v[0], 0.4f);
    EXPECT_FLOAT_EQ(v[1], 0.2f);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, v);
    EXPECT_FLOAT_EQ(v[0], 64.0f);
    m.end();

    m.setGrey(true);
    m.setup();
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_NEAR(v[0], 0.5f, 1e-5f);
    EXPECT_NEAR(v[1], 0.5f, 1e-5f);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    EXPECT_NEAR(v[2], 0.1f, 1e-5f);
    m.end();

    // Grey is for mode 0 only; mode 1 sends ambient with alpha 0.
    m.setPrimaryMap(tex.primary);
    m.setRenderMode(1);
    m.setup();
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    EXPECT_FLOAT_EQ(v[0], 0.9f);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    EXPECT_FLOAT_EQ(v[3], 0.0f);
    m.end();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
