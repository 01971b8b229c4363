#pragma once
// The base of everything a scene file places in the world: meshes, dummies,
// markers, flares, cameras and lights.
//
// Objects form sibling lists with child lists, so a scene is a forest whose
// top level hangs off the Scene. A list is owned through its head: deleting
// an object deletes its children and every sibling after it (the `previous`
// link owns nothing). The recursive operations below (prepare, resolve, the
// material and shadow setters) act on the object, then on its children, then
// on the siblings after it, so calling one on the first top-level object
// reaches the whole forest.
//
// Each object carries its transform (position, rotation matrix, scale), a
// visibility flag and its animation controllers: the sampled controller that
// playback uses, and the key controllers that are kept but not evaluated.

#include "math/Matrix4.h"
#include "math/Quaternion.h"
#include "math/Vec3.h"
#include "scene/AnimationKeys.h"

#include <string>
#include <vector>

class Material;
class Scene;

enum AnimationKind {
    kAnimationNone = 0,
    kAnimationKeyed = 1,   // key controllers present
    kAnimationSampled = 2, // samples present; playback moves the object
};

class SceneObject {
public:
    SceneObject(const char* name, int id);
    virtual ~SceneObject();

    SceneObject(const SceneObject&) = delete;
    SceneObject& operator=(const SceneObject&) = delete;

    // Draws the object's own geometry with its material. Dummies, markers,
    // cameras and lights have nothing to draw.
    virtual void draw() {}
    // Positions only, no state changes (depth and shadow passes).
    virtual void drawGeometry() {}
    // A new, unlinked object of the same class with the same values; the
    // copy owns copies of the arrays. Children are not cloned.
    virtual SceneObject* clone() const = 0;

    // The recursive operations (this object, its children, the later siblings).
    // prepare: derived data of the geometry (mesh normals); once after loading.
    void prepare();
    // Binds materials and the scene, builds the draw arrays. False only when
    // a face names a missing material and scene errors are recoverable (see
    // SceneErrors.h); otherwise that error is fatal.
    bool resolve(Scene* scene);
    void setReceivesShadow(bool on);
    void setShadowFlag(bool on);
    void setMaterial(Material* material);
    void setRenderMode(int mode);

    virtual Material* getMaterial() const { return nullptr; }
    // Effect-specific tuning of an object class; nothing by default.
    virtual void setParameters(int a, int b);

    // Sibling and child chains.
    void addChild(SceneObject* child);
    void appendSibling(SceneObject* object);
    // Takes the object out of its sibling chain. When it was the head of a
    // list, `head` (if given) moves to the next object. Its own children stay.
    void unlink(SceneObject** head = nullptr);

    SceneObject* getNext() const { return next; }
    SceneObject* getPrevious() const { return previous; }
    SceneObject* getFirstChild() const { return firstChild; }

    // Depth first over this sibling list and the subtrees: the object, its
    // children, then the next sibling. Names compare as exact byte strings.
    SceneObject* findById(int id);
    SceneObject* findByName(const char* name);

    // Transform.
    void setPosition(const Vec3& p) { position = p; }
    void setPosition(float x, float y, float z) { position.set(x, y, z); }
    const Vec3& getPosition() const { return position; }
    void setRotation(const Matrix4& m) { rotation = m; }
    // Euler angles in degrees; kept in eulerDegrees.
    void setRotation(float xDegrees, float yDegrees, float zDegrees);
    const Matrix4& getRotation() const { return rotation; }
    const Vec3& getEulerDegrees() const { return eulerDegrees; }
    void setScale(const Vec3& s) { scale = s; }
    void setScale(float x, float y, float z) { scale.set(x, y, z); }
    const Vec3& getScale() const { return scale; }

    void setVisible(bool on) { visible = on; }
    bool isVisible() const { return visible; }
    // Sets visibility on this object, its children and the later siblings
    // with their subtrees (the whole forest from its first object).
    void setVisibleRecursive(bool on);

    void setMirrored(bool on, const Vec3& mirrorScale);
    bool isMirrored() const { return mirrored; }
    const Vec3& getMirrorScale() const { return mirrorScale; }

    const std::string& getName() const { return name; }
    int getId() const { return id; }
    Scene* getScene() const { return scene; }

    // Animation controllers, given by the reader.
    // Samples taken every `interval` scene-time units; marks the object as
    // sample-animated.
    void setSamples(std::vector<Vec3>&& positions, std::vector<Quaternion>&& rotations, int interval);
    // Takes the keys, computes their tangents and marks the object as
    // key-animated.
    void setPositionKeys(std::vector<PositionKey>&& keys);
    void setRotationKeys(std::vector<RotationKey>&& keys);

    // Shows sample i blended towards sample i + 1 by `fraction`: replaces the
    // position and the rotation matrix, leaves the scale. An index past the
    // end shows the last sample.
    void applySample(int index, float fraction);

    AnimationKind getAnimationKind() const { return animationKind; }
    int getSampleCount() const { return int(samplePositions.size()); }
    int getSampleInterval() const { return sampleInterval; }
    const std::vector<Vec3>& getSamplePositions() const { return samplePositions; }
    const std::vector<Quaternion>& getSampleRotations() const { return sampleRotations; }
    const std::vector<PositionKey>& getPositionKeys() const { return positionKeys; }
    const std::vector<RotationKey>& getRotationKeys() const { return rotationKeys; }

protected:
    // What each recursive operation does to one object; the walk is the base's.
    virtual void prepareSelf() {}
    virtual bool resolveSelf(Scene*) { return true; }
    virtual void setReceivesShadowSelf(bool) {}
    virtual void setShadowFlagSelf(bool) {}
    virtual void setMaterialSelf(Material*) {}
    virtual void setRenderModeSelf(int) {}

    // Copies the values shared by every class (transform, flags, controllers)
    // into a fresh clone; links are not copied.
    void copyBaseTo(SceneObject& copy) const;

    std::string name;
    int id;

    SceneObject* next = nullptr;     // owned: the rest of the list
    SceneObject* previous = nullptr; // not owned

    Matrix4 rotation;
    Vec3 eulerDegrees;               // kept when the rotation came from Euler angles
    Vec3 position;
    Vec3 scale{1.0f, 1.0f, 1.0f};

    Scene* scene = nullptr;          // set by resolve on the classes that need it
    SceneObject* firstChild = nullptr; // owned

    Vec3 pivot;                      // not used by the drawing

    std::vector<PositionKey> positionKeys;
    std::vector<RotationKey> rotationKeys;

    int sampleInterval = 0;          // scene-time units per sample
    std::vector<Vec3> samplePositions;
    std::vector<Quaternion> sampleRotations; // as many as positions

    AnimationKind animationKind = kAnimationNone;

    bool visible = true;
    bool mirrored = false;
    Vec3 mirrorScale;
};
