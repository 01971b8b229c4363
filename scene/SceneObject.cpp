#include "scene/SceneObject.h"

#include <cassert>
#include <cstring>

namespace {
constexpr float kDegreesToRadians = 0.017453292f;
}

SceneObject::SceneObject(const char* name, int id) : name(name ? name : ""), id(id) {}

SceneObject::~SceneObject()
{
    delete firstChild;
    // The siblings go one by one rather than each deleting the next, so a
    // long list cannot run the stack dry.
    SceneObject* doomed = next;
    next = nullptr;
    while (doomed) {
        SceneObject* after = doomed->next;
        doomed->next = nullptr;
        delete doomed;
        doomed = after;
    }
}

// ---------------------------------------------------------------------------
// Recursive operations: the object, its children, then the later siblings.
// Siblings are walked in a loop, children by recursion (as deep as the
// hierarchy).

void SceneObject::prepare()
{
    for (SceneObject* o = this; o; o = o->next) {
        o->prepareSelf();
        if (o->firstChild)
            o->firstChild->prepare();
    }
}

bool SceneObject::resolve(Scene* owner)
{
    for (SceneObject* o = this; o; o = o->next) {
        if (!o->resolveSelf(owner))
            return false;
        if (o->firstChild && !o->firstChild->resolve(owner))
            return false;
    }
    return true;
}

void SceneObject::setReceivesShadow(bool on)
{
    for (SceneObject* o = this; o; o = o->next) {
        o->setReceivesShadowSelf(on);
        if (o->firstChild)
            o->firstChild->setReceivesShadow(on);
    }
}

void SceneObject::setShadowFlag(bool on)
{
    for (SceneObject* o = this; o; o = o->next) {
        o->setShadowFlagSelf(on);
        if (o->firstChild)
            o->firstChild->setShadowFlag(on);
    }
}

void SceneObject::setMaterial(Material* material)
{
    for (SceneObject* o = this; o; o = o->next) {
        o->setMaterialSelf(material);
        if (o->firstChild)
            o->firstChild->setMaterial(material);
    }
}

void SceneObject::setRenderMode(int mode)
{
    for (SceneObject* o = this; o; o = o->next) {
        o->setRenderModeSelf(mode);
        if (o->firstChild)
            o->firstChild->setRenderMode(mode);
    }
}

void SceneObject::setVisibleRecursive(bool on)
{
    for (SceneObject* o = this; o; o = o->next) {
        o->visible = on;
        if (o->firstChild)
            o->firstChild->setVisibleRecursive(on);
    }
}

void SceneObject::setParameters(int, int) {}

// ---------------------------------------------------------------------------
// Chains

void SceneObject::addChild(SceneObject* child)
{
    assert(child && !child->next && !child->previous);
    if (!firstChild) {
        firstChild = child;
        child->previous = nullptr;
        return;
    }
    firstChild->appendSibling(child);
}

void SceneObject::appendSibling(SceneObject* object)
{
    assert(object && object != this);
    SceneObject* last = this;
    while (last->next)
        last = last->next;
    last->next = object;
    object->previous = last;
}

void SceneObject::unlink(SceneObject** head)
{
    if (head && *head == this)
        *head = next;
    if (previous)
        previous->next = next;
    if (next)
        next->previous = previous;
    next = nullptr;
    previous = nullptr;
}

SceneObject* SceneObject::findById(int wanted)
{
    for (SceneObject* o = this; o; o = o->next) {
        if (o->id == wanted)
            return o;
        if (o->firstChild)
            if (SceneObject* found = o->firstChild->findById(wanted))
                return found;
    }
    return nullptr;
}

SceneObject* SceneObject::findByName(const char* wanted)
{
    if (!wanted)
        return nullptr;
    for (SceneObject* o = this; o; o = o->next) {
        if (o->name == wanted)
            return o;
        if (o->firstChild)
            if (SceneObject* found = o->firstChild->findByName(wanted))
                return found;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Transform

void SceneObject::setRotation(float xDegrees, float yDegrees, float zDegrees)
{
    eulerDegrees.set(xDegrees, yDegrees, zDegrees);
    rotation.fromEuler(xDegrees * kDegreesToRadians, yDegrees * kDegreesToRadians, zDegrees * kDegreesToRadians);
}

void SceneObject::setMirrored(bool on, const Vec3& scaleOfCopy)
{
    mirrored = on;
    mirrorScale = scaleOfCopy;
}

// ---------------------------------------------------------------------------
// Animation

void SceneObject::setSamples(std::vector<Vec3>&& positions, std::vector<Quaternion>&& rotations, int interval)
{
    assert(positions.size() == rotations.size());
    samplePositions = std::move(positions);
    sampleRotations = std::move(rotations);
    sampleInterval = interval;
    animationKind = kAnimationSampled;
}

void SceneObject::setPositionKeys(std::vector<PositionKey>&& keys)
{
    positionKeys = std::move(keys);
    computeKeyTangents(positionKeys.data(), int(positionKeys.size()));
    animationKind = kAnimationKeyed;
}

void SceneObject::setRotationKeys(std::vector<RotationKey>&& keys)
{
    rotationKeys = std::move(keys);
    animationKind = kAnimationKeyed;
}

void SceneObject::applySample(int index, float fraction)
{
    int count = int(samplePositions.size());
    if (count == 0)
        return;
    if (index >= count)
        index = count - 1;
    if (index < 0)
        index = 0;
    if (index + 1 == count) {
        position = samplePositions[index];
        sampleRotations[index].toMatrix(rotation);
        return;
    }
    Quaternion q = Quaternion::slerp(sampleRotations[index], sampleRotations[index + 1], fraction);
    q.toMatrix(rotation);
    position = Vec3::lerp(samplePositions[index], samplePositions[index + 1], fraction);
}

void SceneObject::copyBaseTo(SceneObject& copy) const
{
    copy.rotation = rotation;
    copy.eulerDegrees = eulerDegrees;
    copy.position = position;
    copy.scale = scale;
    copy.scene = scene;
    copy.pivot = pivot;
    copy.positionKeys = positionKeys;
    copy.rotationKeys = rotationKeys;
    copy.sampleInterval = sampleInterval;
    copy.samplePositions = samplePositions;
    copy.sampleRotations = sampleRotations;
    copy.animationKind = animationKind;
    copy.visible = visible;
    copy.mirrored = mirrored;
    copy.mirrorScale = mirrorScale;
}
