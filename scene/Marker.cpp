#include "scene/Marker.h"

SceneObject* Marker::clone() const
{
    Marker* copy = new Marker(name.c_str(), id);
    copyBaseTo(*copy);
    return copy;
}
