// Shadows: the switches and the steps transformAndRender runs while they are
// on. The switches check what the GL offers and mark the receiving objects;
// the depth target and the passes that render into it and project it are
// the shadow work's, which fills the steps below. Until then a scene with
// shadows on draws exactly what it draws without them, plus the receivers'
// half-opacity second pass.

#include "scene/Scene.h"

#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "scene/SceneObject.h"

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

void Scene::createShadowTarget() {}

void Scene::renderShadowMaps()
{
    checkGLError("Scene::renderShadowMaps1");
    checkGLError("Scene::renderShadowMaps2");
}

void Scene::setupShadowmap() {}

void Scene::endShadowmap() {}

void Scene::projectorPrePass() {}

void Scene::beginProjector() {}

void Scene::endProjector() {}
