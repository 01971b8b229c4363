#include "scene/Dummy.h"

SceneObject* Dummy::clone() const
{
    Dummy* copy = new Dummy(name.c_str(), id);
    copyBaseTo(*copy);
    return copy;
}
