// Scene::transformAndRender and the draw traversals.

#include "scene/Scene.h"

#include "gl/ErrorBox.h"
#include "scene/Camera.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/SceneObject.h"

namespace {

constexpr const char* kCubeTargetName = "cubetarget";
constexpr int kCubeTargetId = 999;

void pushTransform(const SceneObject* o)
{
    glPushMatrix();
    const Vec3& p = o->getPosition();
    glTranslatef(p.x, p.y, p.z);
    // The rotation is stored row-major as (row, column); handed to GL as
    // stored, as every matrix of the engine is.
    glMultMatrixf(o->getRotation().data());
}

} // namespace

void Scene::drawObjects(SceneObject* first)
{
    for (SceneObject* o = first; o; o = o->getNext()) {
        if (o->isMirrored()) {
            // The mirrored copy scales the world about the origin first and
            // leaves the object's own scale out.
            glPushMatrix();
            const Vec3& m = o->getMirrorScale();
            glScalef(m.x, m.y, m.z);
            pushTransform(o);
            if (o->isVisible())
                o->draw();
            drawObjects(o->getFirstChild());
            glPopMatrix();
            glPopMatrix();
        }
        pushTransform(o);
        const Vec3& s = o->getScale();
        glScalef(s.x, s.y, s.z);
        if (o->isVisible())
            o->draw();
        drawObjects(o->getFirstChild());
        glPopMatrix();
    }
}

void Scene::drawObjectGeometry(SceneObject* first)
{
    for (SceneObject* o = first; o; o = o->getNext()) {
        pushTransform(o);
        const Vec3& s = o->getScale();
        glScalef(s.x, s.y, s.z);
        if (o->isVisible())
            o->drawGeometry();
        drawObjectGeometry(o->getFirstChild());
        glPopMatrix();
    }
}

void Scene::transformAndRender()
{
    if (!objects)
        errorBox("no objects in scene", true);
    if (!currentCamera)
        errorBox("no current camera", true);
    checkGLError("Scene::transformAndRender");

    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    const int maxLights = Light::maxGlLights();
    for (int i = 0; i < maxLights; ++i)
        glDisable(GL_LIGHT0 + unsigned(i));

    glEnable(GL_DEPTH_TEST);
    if (culling) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
        glCullFace(GL_BACK);
    } else {
        glDisable(GL_CULL_FACE);
    }

    if (fog) {
        glEnable(GL_FOG);
        const GLfloat colour[4] = {fogColour.r, fogColour.g, fogColour.b, fogColour.a};
        glFogfv(GL_FOG_COLOR, colour);
        glFogi(GL_FOG_MODE, GLint(fogMode));
        if (fogMode == GL_LINEAR) {
            glFogf(GL_FOG_START, fogStart);
            glFogf(GL_FOG_END, fogEnd);
        } else {
            glFogf(GL_FOG_DENSITY, fogDensity);
        }
    }

    if (shadowMaps)
        renderShadowMaps();
    if (projectorShadows)
        projectorPrePass();

    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    currentCamera->apply();

    if (shadowMaps)
        setupShadowmap();
    if (projectorShadows)
        beginProjector();

    applyLights();

    drawObjects(objects);
    drawObjects(flares);

    if (shadowMaps)
        endShadowmap();
    if (projectorShadows)
        endProjector();

    if (fog)
        glDisable(GL_FOG);
    checkGLError("Scene::transformAndRender end");
}

void Scene::drawGeometryOnly()
{
    if (!currentCamera)
        return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    currentCamera->apply();
    drawObjectGeometry(objects);
}

void Scene::advanceFlares(float t)
{
    for (Flare* f = flares; f; f = static_cast<Flare*>(f->getNext()))
        f->advance(t);
}

Marker* Scene::getCubeTarget()
{
    if (!cubeTarget)
        cubeTarget = new Marker(kCubeTargetName, kCubeTargetId);
    return cubeTarget;
}
