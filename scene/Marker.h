#pragma once
// A named point in the scene (a camera or light target, an effect's anchor).
// It draws nothing.

#include "scene/SceneObject.h"

class Marker : public SceneObject {
public:
    Marker(const char* name, int id) : SceneObject(name, id) {}
    SceneObject* clone() const override;
};
