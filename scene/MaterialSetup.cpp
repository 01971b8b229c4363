// Material::setup: from a material to the GL state its faces draw with.
//
// The mesh has put its arrays on the units before (Mesh.cpp); the unit
// layout below matches it:
//   mode 0        no texture
//   mode 1        unit 0 primary
//   modes 2, 3    unit 0 second map (reflection coordinates)
//   mode 4        unit 0 primary, unit 1 second map added (reflection coordinates)
//   mode 5        unit 0 primary, unit 1 detail map modulated (second set)
//   mode 6        unit 0 bump map, unit 1 normalisation cube DOT3 (light vectors)
//   mode 7        as 6, unit 2 second map modulated (reflection coordinates)
//   mode 8        unit 0 1D ramp (ramp coordinate)
//   mode 9        unit 0 1D ramp, unit 1 primary added signed (first set)
//   mode 10       unit 0 environment cube (reflection-map generation)
//   mode 11       as 10, unit 1 second map added

#include "scene/Material.h"

#include "gl/GLExtensions.h"
#include "gl/Texture.h"

#include <GL/glext.h>

namespace {

void selectUnit(int unit)
{
    glext::glActiveTextureARB(GL_TEXTURE0_ARB + unsigned(unit));
}

void setEnvMode(GLint mode)
{
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

// A combiner stage: rgb = op(source0, source1) with the colour operands.
void setCombine(GLint op, GLint source0, GLint source1)
{
    setEnvMode(GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, op);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, source0);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, source1);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
}

// 2D texturing on the active unit with `texture` bound.
void bind2D(Texture* texture, GLint envMode)
{
    glEnable(GL_TEXTURE_2D);
    texture->bind();
    setEnvMode(envMode);
}

float greyLevel(const Color4& c)
{
    return (c.r + c.g + c.b) * 0.33333334f;
}

} // namespace

void Material::sendLitColours(GLenum ambientFaces, GLenum diffuseFaces, float ambientAlpha, bool greyLevels) const
{
    Color4 a = ambient;
    Color4 d = diffuse;
    if (greyLevels) {
        float ga = greyLevel(ambient);
        float gd = greyLevel(diffuse);
        a.set(ga, ga, ga, ambient.a);
        d.set(gd, gd, gd, diffuse.a);
    }
    GLfloat ambientValues[4] = {a.r, a.g, a.b, ambientAlpha >= 0.0f ? ambientAlpha : a.a};
    GLfloat diffuseValues[4] = {d.r, d.g, d.b, opacity};
    GLfloat specularValues[4] = {specular.r * specularLevel, specular.g * specularLevel,
                                 specular.b * specularLevel, specular.a};
    glMaterialfv(ambientFaces, GL_AMBIENT, ambientValues);
    glMaterialfv(diffuseFaces, GL_DIFFUSE, diffuseValues);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specularValues);
    // GL refuses shininess above 128.
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess < 0.0f ? 0.0f : shininess > 128.0f ? 128.0f : shininess);
}

bool Material::hasModeTextures() const
{
    switch (renderMode) {
    case kModeLit: return true;
    case kModePrimary: return primaryMap;
    case kModeSecond:
    case kModeSecondAlt: return secondMap;
    case kModePrimaryAddSecond: return primaryMap && secondMap;
    case kModePrimaryDetail: return primaryMap && detailMap;
    case kModeBump: return primaryMap && bumpMap && normalisationCubeMap;
    case kModeBumpSecond: return secondMap && bumpMap && normalisationCubeMap;
    case kModeRamp: return ramp;
    case kModeRampPrimary: return ramp && primaryMap;
    case kModeEnvironment:
    case kModeEnvironmentSecond: return environmentCube;
    default: return false;
    }
}

void Material::applyRenderMode() const
{
    if (!hasModeTextures()) {
        // The colours still go, so that the faces do not take the previous
        // material's; no texture unit is touched.
        sendLitColours(GL_FRONT_AND_BACK, GL_FRONT_AND_BACK, -1.0f, false);
        return;
    }
    const bool thirdUnit = getMaxTextureUnits() >= 3;

    switch (renderMode) {
    case kModeLit:
        sendLitColours(GL_FRONT, GL_FRONT_AND_BACK, -1.0f, grey);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
        selectUnit(0);
        glDisable(GL_TEXTURE_2D);
        break;

    case kModePrimary:
        sendLitColours(GL_FRONT_AND_BACK, GL_FRONT_AND_BACK, 0.0f, false);
        selectUnit(0);
        bind2D(primaryMap, GL_MODULATE);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
        break;

    case kModeSecond:
    case kModeSecondAlt:
        selectUnit(1);
        glDisable(GL_TEXTURE_2D);
        selectUnit(0);
        bind2D(secondMap, GL_MODULATE);
        sendLitColours(GL_FRONT_AND_BACK, GL_FRONT_AND_BACK, 0.0f, false);
        glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
        break;

    case kModePrimaryAddSecond:
        selectUnit(0);
        bind2D(primaryMap, GL_MODULATE);
        selectUnit(1);
        bind2D(secondMap, GL_ADD);
        break;

    case kModePrimaryDetail:
        selectUnit(0);
        bind2D(primaryMap, GL_MODULATE);
        selectUnit(1);
        bind2D(detailMap, GL_MODULATE);
        break;

    case kModeBump:
    case kModeBumpSecond:
        // Unit 0 passes the bump map's normal on, unit 1 dots it with the
        // light vector normalised by the cube map: N . L as a grey level.
        selectUnit(0);
        glEnable(GL_TEXTURE_2D);
        bumpMap->bind();
        setEnvMode(GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_REPLACE);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
        selectUnit(1);
        glEnable(GL_TEXTURE_CUBE_MAP_ARB);
        glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, normalisationCubeMap);
        setCombine(GL_DOT3_RGB_ARB, GL_TEXTURE, GL_PREVIOUS_ARB);
        if (renderMode == kModeBumpSecond && thirdUnit) {
            selectUnit(2);
            bind2D(secondMap, GL_MODULATE);
        }
        break;

    case kModeRamp:
        selectUnit(0);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_1D);
        ramp->bind();
        setEnvMode(GL_MODULATE);
        break;

    case kModeRampPrimary:
        selectUnit(0);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_1D);
        ramp->bind();
        setEnvMode(GL_MODULATE);
        selectUnit(1);
        glEnable(GL_TEXTURE_2D);
        primaryMap->bind();
        setCombine(GL_ADD_SIGNED_ARB, GL_PREVIOUS_ARB, GL_TEXTURE);
        selectUnit(0);
        glDisable(GL_TEXTURE_2D);
        break;

    case kModeEnvironment:
    case kModeEnvironmentSecond:
        selectUnit(0);
        glEnable(GL_TEXTURE_CUBE_MAP_ARB);
        environmentCube->bind();
        setEnvMode(GL_MODULATE);
        if (renderMode == kModeEnvironmentSecond && secondMap) {
            selectUnit(1);
            bind2D(secondMap, GL_ADD);
        }
        break;

    default:
        break;
    }
    selectUnit(0);
}

void Material::setup()
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);

    applyRenderMode();

    bool lit = (usesNormals && !environmentCube) || renderMode == kModeSecond;
    if (unlit)
        lit = false;
    if (lit)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);

    if (stencil) {
        glEnable(GL_STENCIL_TEST);
        glStencilFunc(stencilFunction, stencilReference, stencilMask);
        glStencilOp(stencilFail, stencilDepthFail, stencilPass);
    }
    if (alphaTest) {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, alphaReference);
    }

    if (opacity < 1.0f) {
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    glDisable(GL_CULL_FACE);

    if (twoSided)
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    if (additive) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
    }
    if (alphaBlend) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    if (wireframe)
        glPolygonMode(GL_FRONT, GL_LINE);

    if (textureMatrix) {
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glTranslatef(textureTranslation.x, textureTranslation.y, textureTranslation.z);
        glRotatef(textureRotation.x, 1.0f, 0.0f, 0.0f);
        glRotatef(textureRotation.y, 0.0f, 1.0f, 0.0f);
        glRotatef(textureRotation.z, 0.0f, 0.0f, 1.0f);
        glScalef(textureScale.x, textureScale.y, textureScale.z);
        glMatrixMode(GL_MODELVIEW);
    }

    if (overlay) {
        glDisable(GL_LIGHTING);
        glEnable(GL_TEXTURE_2D);
        if (primaryMap)
            primaryMap->bind();
        if (detailMap)
            detailMap->bind();
    }
}

void Material::end()
{
    if (textureMatrix) {
        glext::glActiveTextureARB(GL_TEXTURE0_ARB);
        glMatrixMode(GL_TEXTURE);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
    }
    glPopAttrib();
}
