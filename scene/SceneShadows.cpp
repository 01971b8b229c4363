// Shadows: the switches and the steps transformAndRender runs while they are
// on.
//
// Shadow maps: before the camera, the scene's geometry is drawn from the
// shadow light into a depth map (positions only, back faces, offset), and
// the light's projection P and view V give the eye planes of B * P * V, B
// the bias from clip space to 0..1. After the camera, unit 2 generates those
// planes in eye space (GL moves them through the inverse of the camera's
// view, so they act on world positions) and compares r with the map. The
// receiving meshes do the rest in their two passes.
//
// The depth map is either the depth texture of a 1024 x 1024 off-screen
// buffer (when the GL can render depth into a texture) or the 512 x 512
// "ShadowMapTexture", copied from a corner of whatever frame buffer the
// scene is being drawn into. Both are made on first use and kept for the
// run.
//
// Projector shadows: the same planes for the projector light's fixed
// frustum on unit 1, adding the light's texture to what is drawn.

#include "scene/Scene.h"

#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "gl/PBuffer.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "scene/SceneObject.h"

#include <GL/glext.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr int kDepthBufferSize = 1024;          // texels on a side of the depth buffer's map
constexpr const char* kShadowTextureName = "ShadowMapTexture";

// The projector's frustum: a narrow fixed cone, whatever the camera does.
constexpr double kProjectorFieldOfView = 25.0; // degrees
constexpr double kProjectorNear = 10.0;
constexpr double kProjectorFar = 200.0;

// Pushes the depth map's polygons back so that a lit surface does not shadow
// itself where the map's texels are coarser than the screen's.
constexpr float kOffsetFactor = 1.1f;
constexpr float kOffsetUnits = 1.0f;

// Scales clip space -1..1 to 0..1 in x, y and z; as stored, handed to GL.
constexpr GLfloat kBias[16] = {
    0.5f, 0.0f, 0.0f, 0.0f, //
    0.0f, 0.5f, 0.0f, 0.0f, //
    0.0f, 0.0f, 0.5f, 0.0f, //
    0.5f, 0.5f, 0.5f, 1.0f,
};

const GLenum kCoords[4] = {GL_S, GL_T, GL_R, GL_Q};
const GLenum kCoordGen[4] = {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q};

// The process-wide depth buffer; made by the first scene that switches shadow
// maps on with depth render textures and kept for the rest of the run.
PBuffer* depthBuffer = nullptr;

PBuffer* shadowDepthBuffer()
{
    if (!depthBuffer)
        depthBuffer = new PBuffer;
    return depthBuffer;
}

// What the shadow texture needs to be sampled as a map: filtered, clamped,
// and compared with r instead of read.
void setShadowTextureParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, GL_LEQUAL);
}

// The view from a light onto the modelview matrix. The light looks at its
// target; a light without one looks down -z, where its spot cone points
// (Light::apply), and so does a light sitting on its target. Looking
// straight up or down, the usual up vector (0, 1, 0) leaves the view without
// a side; -z then stands for up.
void lookFromLight(const Light* light)
{
    const Vec3& from = light->getPosition();
    Vec3 direction(0.0f, 0.0f, -1.0f);
    if (const SceneObject* target = light->getTarget()) {
        Vec3 d = target->getPosition() - from;
        if (d.length() > 1e-6f)
            direction = d;
    }
    Vec3 up(0.0f, 1.0f, 0.0f);
    Vec3 side = Vec3::cross(direction, up);
    if (side.length() <= 1e-4f * direction.length())
        up.set(0.0f, 0.0f, -1.0f);
    const Vec3 at = from + direction;
    gluLookAt(from.x, from.y, from.z, at.x, at.y, at.z, up.x, up.y, up.z);
}

// M = B * P * V, computed by GL on the modelview stack, and its rows in GL
// terms (elements 0, 4, 8, 12 of the array for S, and so on) as the four eye
// planes. Leaves M on the modelview matrix.
void eyePlanes(const GLfloat* projection, const GLfloat* view, float* planes)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(kBias);
    glMultMatrixf(projection);
    glMultMatrixf(view);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            planes[row * 4 + col] = m[col * 4 + row];
}

// Eye-linear generation of s, t, r and q from `planes` on the active unit.
void enableEyePlanes(const float* planes)
{
    for (int i = 0; i < 4; ++i) {
        glTexGenfv(kCoords[i], GL_EYE_PLANE, planes + i * 4);
        glTexGeni(kCoords[i], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glEnable(kCoordGen[i]);
    }
}

void disableEyePlanes()
{
    for (GLenum gen : kCoordGen)
        glDisable(gen);
}

} // namespace

PBuffer* Scene::getShadowDepthBuffer()
{
    return depthBuffer;
}

void Scene::deleteShadowDepthBuffer()
{
    delete depthBuffer;
    depthBuffer = nullptr;
}

// ---------------------------------------------------------------------------
// Switches

void Scene::setShadowMaps(bool on)
{
    if (getMaxTextureUnits() < 3)
        errorBox("not enough texture units for shadows", true);
    if (!isExtensionSupported("GL_ARB_shadow"))
        errorBox("arb_shadow not supported..", true);
    shadowMaps = on;
    if (on)
        createShadowTarget();
    if (objects)
        objects->setReceivesShadow(on);
}

void Scene::setProjectorShadows(bool on)
{
    if (getMaxTextureUnits() < 3)
        return;
    projectorShadows = on;
    if (objects)
        objects->setShadowFlag(on);
}

void Scene::createShadowTarget()
{
    // Whatever was bound to unit 0 before stays bound after: the switch
    // comes from a signal, between frames of other effects.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    if (hasNvDepthTexture) {
        PBuffer* buffer = shadowDepthBuffer();
        if (!buffer->isCreated()) {
            buffer->create(kDepthBufferSize, kDepthBufferSize, true);
            buffer->enable();
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            buffer->disable();
        }
        buffer->bind(kDepthBuffer);
        setShadowTextureParameters();
        buffer->release(kDepthBuffer);
    } else {
        // Every switch holds one more reference; the run frees the texture
        // with all the others before a full rebuild, when this scene goes too.
        shadowTexture = TextureManager::getInstance()->getRenderTexture(kShadowTextureName, shadowMapSize,
                                                                        shadowMapSize, GL_DEPTH_COMPONENT, GL_RGBA);
        if (shadowTexture) {
            shadowTexture->bind();
            setShadowTextureParameters();
        }
    }
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
}

Light* Scene::findShadowLight() const
{
    for (SceneObject* o = lights; o; o = o->getNext()) {
        Light* light = static_cast<Light*>(o);
        if (light->getCastsShadow())
            return light;
    }
    return nullptr;
}

Light* Scene::findProjectorLight() const
{
    for (SceneObject* o = lights; o; o = o->getNext()) {
        Light* light = static_cast<Light*>(o);
        if (light->getProjectedTexture())
            return light;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Shadow maps

void Scene::renderShadowMaps()
{
    checkGLError("Scene::renderShadowMaps1");
    const Light* light = findShadowLight();
    // The copied map needs its texture; a scene that never switched shadow
    // maps on through setShadowMaps has none and draws without a map.
    const bool usable = hasNvDepthTexture ? depthBuffer && depthBuffer->isCreated() : shadowTexture != nullptr;
    if (light && usable) {
        GLint viewport[4] = {0, 0, 0, 0};
        if (hasNvDepthTexture) {
            depthBuffer->enable();
            checkGLError("Scene::renderShadowMapsA");
        } else {
            glGetIntegerv(GL_VIEWPORT, viewport);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            glViewport(0, 0, shadowMapSize, shadowMapSize);
            glScissor(0, 0, shadowMapSize, shadowMapSize);
            glEnable(GL_SCISSOR_TEST);
        }

        // The light sees what the viewer sees: the camera's lens, from the
        // light's place.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(currentCamera->getFieldOfView(), currentCamera->getAspect(), currentCamera->getNearPlane(),
                       currentCamera->getFarPlane());
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        lookFromLight(light);

        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_DEPTH_TEST);
        glDepthMask(GL_TRUE);
        glClear(GL_DEPTH_BUFFER_BIT);
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        // Back faces into the map: the lit front faces then lie in front of
        // the stored depth and never shadow themselves.
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_FRONT);
        glPolygonOffset(kOffsetFactor, kOffsetUnits);
        glEnable(GL_POLYGON_OFFSET_FILL);

        checkGLError("Scene::renderShadowMapsB");
        drawObjectGeometry(objects);
        checkGLError("Scene::renderShadowMapsC");

        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glCullFace(GL_BACK);

        if (!hasNvDepthTexture) {
            shadowTexture->bind();
            checkGLError("shadowtexture->select");
            glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, 0, 0, shadowMapSize, shadowMapSize, 0);
            glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
            glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
            glDisable(GL_SCISSOR_TEST);
        }

        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        checkGLError("Scene::renderShadowMapsD-3");
        glLoadIdentity();
        lookFromLight(light);
        GLfloat view[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        checkGLError("Scene::renderShadowMapsD-2");
        eyePlanes(projection, view, shadowPlanes);

        if (hasNvDepthTexture) {
            checkGLError("Scene::renderShadowMapsD-1");
            depthBuffer->disable();
            checkGLError("Scene::renderShadowMapsD");
        }
    }
    checkGLError("Scene::renderShadowMaps2");
}

void Scene::setupShadowmap()
{
    const bool usable = hasNvDepthTexture ? depthBuffer && depthBuffer->isCreated() : shadowTexture != nullptr;
    if (!findShadowLight() || !usable)
        return;
    glext::glActiveTextureARB(GL_TEXTURE2_ARB);
    enableEyePlanes(shadowPlanes);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    checkGLError("Scene::setupShadowmap");

    glext::glActiveTextureARB(GL_TEXTURE2_ARB);
    if (hasNvDepthTexture)
        depthBuffer->bind(kDepthBuffer);
    else
        shadowTexture->bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
}

void Scene::endShadowmap()
{
    glext::glActiveTextureARB(GL_TEXTURE2_ARB);
    disableEyePlanes();
    // Unbound, so that the receivers of a scene without a shadow light,
    // drawn later in the same context, find no stale map on their unit.
    glBindTexture(GL_TEXTURE_2D, 0);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
    if (hasNvDepthTexture && depthBuffer && depthBuffer->isCreated())
        depthBuffer->release(kDepthBuffer);
}

// ---------------------------------------------------------------------------
// Projector

void Scene::projectorPrePass()
{
    const Light* light = findProjectorLight();
    if (!light)
        return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kProjectorFieldOfView, 1.0, kProjectorNear, kProjectorFar);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    lookFromLight(light);
    GLfloat view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    eyePlanes(projection, view, projectorPlanes);
}

void Scene::beginProjector()
{
    const Light* light = findProjectorLight();
    if (!light)
        return;
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    enableEyePlanes(projectorPlanes);
    // The picture is clamped so that it shows once, inside the frustum; its
    // edge texels carry on outside it.
    light->getProjectedTexture()->bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    // t flipped: the picture then stands upright as seen from behind the
    // projector, its top row on the far side of what it lights.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glTranslatef(0.0f, 1.0f, 0.0f);
    glScalef(1.0f, -1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_ADD);
    glEnable(GL_TEXTURE_2D);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
}

void Scene::endProjector()
{
    glext::glActiveTextureARB(GL_TEXTURE1_ARB);
    disableEyePlanes();
    glDisable(GL_TEXTURE_2D);
    // The flip and the adding would otherwise reach every second map drawn
    // after this scene.
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glext::glActiveTextureARB(GL_TEXTURE0_ARB);
}
