#include "scene/Scene.h"

#include "gl/GLExtensions.h"
#include "scene/Camera.h"
#include "scene/Flare.h"
#include "scene/Light.h"
#include "scene/Marker.h"
#include "scene/Material.h"
#include "scene/SceneObject.h"

#include <cassert>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

template <class T>
T* nextOf(T* object)
{
    return static_cast<T*>(object->getNext());
}

// Every object of a sibling list and the subtrees, depth first.
template <class Visit>
void visitTree(SceneObject* first, Visit& visit)
{
    for (SceneObject* o = first; o; o = o->getNext()) {
        visit(o);
        if (o->getFirstChild())
            visitTree(o->getFirstChild(), visit);
    }
}

template <class T>
void appendTo(T*& head, T* object)
{
    assert(object);
    if (!head)
        head = object;
    else
        head->appendSibling(object);
}

} // namespace

Scene::Scene() : hasNvDepthTexture(isExtensionSupported("WGL_NV_render_depth_texture")) {}

Scene::~Scene()
{
    delete objects;
    delete cameras;
    delete lights;
    delete materials;
    delete flares;
    delete cubeTarget;
}

// ---------------------------------------------------------------------------
// Lists

void Scene::addObject(SceneObject* object)
{
    appendTo(objects, object);
}

void Scene::addFlare(Flare* flare)
{
    appendTo(flares, flare);
}

void Scene::addCamera(Camera* camera)
{
    appendTo(cameras, camera);
    if (!currentCamera)
        currentCamera = camera;
}

void Scene::addLight(Light* light)
{
    int before = 0;
    for (Light* l = lights; l; l = nextOf(l))
        ++before;
    appendTo(lights, light);
    light->setGlLight(before);
    light->sendColours();
}

void Scene::addMaterial(Material* material)
{
    appendTo(materials, material);
}

// ---------------------------------------------------------------------------
// Lookups

SceneObject* Scene::findById(int id)
{
    if (id == 0)
        return objects;
    SceneObject* found = nullptr;
    if (objects)
        found = objects->findById(id);
    if (!found && lights)
        found = lights->findById(id);
    if (!found && cameras)
        found = cameras->findById(id);
    if (!found && flares)
        found = flares->findById(id);
    return found;
}

SceneObject* Scene::findByName(const char* name)
{
    if (!name)
        return nullptr;
    SceneObject* found = nullptr;
    if (objects)
        found = objects->findByName(name);
    if (!found && lights)
        found = lights->findByName(name);
    if (!found && cameras)
        found = cameras->findByName(name);
    if (!found && flares)
        found = flares->findByName(name);
    return found;
}

Material* Scene::findMaterial(int id)
{
    for (Material* m = materials; m; m = m->getNext())
        if (m->getId() == id)
            return m;
    return nullptr;
}

SceneObject* Scene::selectObject(const char* name)
{
    if (!name || !*name)
        objectCursor = objects;
    else
        objectCursor = objects ? objects->findByName(name) : nullptr;
    return objectCursor;
}

SceneObject* Scene::getObjectCursor()
{
    if (!objectCursor)
        objectCursor = objects;
    return objectCursor;
}

Light* Scene::selectLight(const char* name)
{
    lightCursor = findLightByName(name);
    return lightCursor;
}

Light* Scene::getLightCursor()
{
    if (!lightCursor)
        lightCursor = lights;
    return lightCursor;
}

// ---------------------------------------------------------------------------
// Cameras and lights

Camera* Scene::selectCamera(int id)
{
    currentCamera = cameras;
    for (Camera* c = cameras; c; c = nextOf(c)) {
        if (c->getId() == id) {
            currentCamera = c;
            break;
        }
    }
    return currentCamera;
}

Camera* Scene::selectCameraByName(const char* name)
{
    if (!name)
        return nullptr;
    for (Camera* c = cameras; c; c = nextOf(c)) {
        if (c->getName() == name) {
            currentCamera = c;
            return c;
        }
    }
    return nullptr;
}

Camera* Scene::nextCamera()
{
    if (currentCamera && currentCamera->getNext())
        currentCamera = nextOf(currentCamera);
    else
        currentCamera = cameras;
    return currentCamera;
}

void Scene::setNearPlaneAll(float value)
{
    for (Camera* c = cameras; c; c = nextOf(c))
        c->setNearPlane(value);
}

void Scene::setFarPlaneAll(float value)
{
    for (Camera* c = cameras; c; c = nextOf(c))
        c->setFarPlane(value);
}

Light* Scene::findLightByName(const char* name)
{
    if (!name || !*name)
        return lights;
    return lights ? static_cast<Light*>(lights->findByName(name)) : nullptr;
}

void Scene::setGreyAll(bool on)
{
    for (Light* l = lights; l; l = nextOf(l))
        l->setGrey(on);
    for (Material* m = materials; m; m = m->getNext())
        m->setGrey(on);
}

void Scene::setWireframeAll(bool on)
{
    for (Material* m = materials; m; m = m->getNext())
        m->setWireframe(on);
}

void Scene::showAll()
{
    if (objects)
        objects->setVisibleRecursive(true);
}

void Scene::hideAll()
{
    if (objects)
        objects->setVisibleRecursive(false);
}

void Scene::reset()
{
    selectCamera(0);
    for (Light* l = lights; l; l = nextOf(l))
        l->sendColours();
}

void Scene::applyLights()
{
    for (Light* l = lights; l; l = nextOf(l))
        l->apply();
}

// ---------------------------------------------------------------------------
// After loading

void Scene::prepare()
{
    if (objects)
        objects->prepare();
}

bool Scene::link()
{
    if (objects && !objects->resolve(this))
        return false;
    sortObjects();

    // A camera with target id 0 looks at the first top-level object.
    for (Camera* c = cameras; c; c = nextOf(c))
        c->setTarget(findById(c->getTargetId()));
    currentCamera = cameras;

    for (Light* l = lights; l; l = nextOf(l))
        if (l->getTargetId() != 0)
            l->setTarget(findById(l->getTargetId()));
    return true;
}

void Scene::sortObjects()
{
    // One walk, taking each object off the list head: each lands in one of
    // three chains, so no object is ever dropped.
    struct Chain {
        SceneObject* head = nullptr;
        SceneObject* tail = nullptr;
        void push(SceneObject* o)
        {
            if (!o)
                return;
            if (tail)
                tail->appendSibling(o); // tail has no next: constant time
            else
                head = o;
            while (o->getNext())
                o = o->getNext();
            tail = o;
        }
    };
    Chain sky, rest, transparent;
    while (SceneObject* o = objects) {
        o->unlink(&objects);
        Material* m = o->getMaterial();
        if (m && m->isTransparent())
            transparent.push(o);
        else if (m && m->getRenderMode() == kModeEnvironment)
            sky.push(o);
        else
            rest.push(o);
    }
    sky.push(rest.head);
    sky.push(transparent.head);
    objects = sky.head;
}

// ---------------------------------------------------------------------------
// Animation

void Scene::setTime(float t)
{
    time = t;
    // A scene without samples, or with a broken interval, stays on sample 0.
    if (sampleInterval == 0 || sampleCount <= 0 || !std::isfinite(t)) {
        sampleIndex = 0;
        sampleFraction = 0.0f;
        return;
    }
    float interval = float(sampleInterval);
    float ratio = t / interval;
    // Truncated toward zero; kept within int so the conversion is defined.
    int q = ratio >= float(INT_MAX) ? INT_MAX : ratio <= float(INT_MIN) ? INT_MIN : int(ratio);
    int index = q;
    float local = t;
    if (looping) {
        index = q % sampleCount;
        local = t - float(q / sampleCount) * float(sampleCount) * interval;
    }
    sampleFraction = (local - float(index) * interval) / interval;
    if (index < 0)
        index = 0;
    if (index > sampleCount)
        index = sampleCount - 1;
    sampleIndex = index;
}

void Scene::setSampleFrame(int f)
{
    // The clock as setTime leaves it at the time of sample f, so that the
    // next setTime from the owner's clock goes on from there.
    setTime(float(f) * float(sampleInterval));
}

void Scene::animate()
{
    auto apply = [this](SceneObject* o) {
        if (o->getAnimationKind() == kAnimationSampled)
            o->applySample(sampleIndex, sampleFraction);
    };
    visitTree(objects, apply);
    visitTree(cameras, apply);
    visitTree(lights, apply);
    visitTree(flares, apply);
}
