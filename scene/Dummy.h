#pragma once
// A transform-only node: a parent for other objects and a target for cameras
// and lights. It draws nothing.

#include "scene/SceneObject.h"

class Dummy : public SceneObject {
public:
    Dummy(const char* name, int id) : SceneObject(name, id) {}
    SceneObject* clone() const override;
};
