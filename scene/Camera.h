#pragma once
// A scene camera: a perspective projection and, when it has a target, a view
// looking from its position at the target's position. Only the field of view
// and the target id come from the scene file; the target object is found when
// the scene is linked.

#include "scene/SceneObject.h"

class Camera : public SceneObject {
public:
    Camera(const char* name, int id);

    SceneObject* clone() const override;

    // Sets the projection (gluPerspective) and, with a target, the view
    // (gluLookAt, up = +y). The caller has loaded the identity into the
    // modelview matrix; a camera without a target leaves it at the identity.
    void apply();

    void setFieldOfView(float degrees) { fieldOfView = degrees; }
    float getFieldOfView() const { return fieldOfView; }
    void setAspect(float value) { aspect = value; }
    float getAspect() const { return aspect; }
    void setNearPlane(float value) { nearPlane = value; }
    float getNearPlane() const { return nearPlane; }
    void setFarPlane(float value) { farPlane = value; }
    float getFarPlane() const { return farPlane; }
    void setTarget(SceneObject* object) { target = object; }
    SceneObject* getTarget() const { return target; }
    void setTargetId(int value) { targetId = value; }
    int getTargetId() const { return targetId; }
    void setSpare(int value) { spare = value; }

private:
    int targetId = 0;
    SceneObject* target = nullptr; // not owned
    int spare = 0;                 // kept for the effects, not read by the drawing
    float aspect = 1.333f;
    float fieldOfView = 45.0f;     // degrees, vertical
    float nearPlane = 1.0f;
    float farPlane = 2000.0f;
};
