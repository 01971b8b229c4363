#include "scene/Camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

Camera::Camera(const char* name, int id) : SceneObject(name, id)
{
    position.set(0.0f, 0.0f, 5.0f);
}

SceneObject* Camera::clone() const
{
    Camera* copy = new Camera(name.c_str(), id);
    copyBaseTo(*copy);
    copy->targetId = targetId;
    copy->target = target;
    copy->spare = spare;
    copy->aspect = aspect;
    copy->fieldOfView = fieldOfView;
    copy->nearPlane = nearPlane;
    copy->farPlane = farPlane;
    return copy;
}

void Camera::apply()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    if (target) {
        const Vec3& at = target->getPosition();
        gluLookAt(position.x, position.y, position.z, at.x, at.y, at.z, 0.0, 1.0, 0.0);
    }
}
