#include "scene/Flare.h"

namespace {
void step(std::vector<FlareSprite>& sprites, float dt)
{
    for (FlareSprite& s : sprites) {
        s.position = s.position + s.velocity * dt;
        s.rotation += s.spin * dt;
        s.colour.a -= s.fade * dt;
    }
}
} // namespace

SceneObject* Flare::clone() const
{
    Flare* copy = new Flare(name.c_str(), id);
    copyBaseTo(*copy);
    copy->core = core;
    copy->halo = halo;
    copy->texture = texture;
    copy->occlusionTest = occlusionTest;
    copy->divisor = divisor;
    copy->previousTime = previousTime;
    return copy;
}

void Flare::advance(float time)
{
    float dt = divisor != 0.0f ? (time - previousTime) / divisor : 0.0f;
    step(core, dt);
    step(halo, dt);
    previousTime = time;
}

void Flare::setSpriteCount(int count)
{
    if (count < 0)
        count = 0;
    core.assign(size_t(count), FlareSprite());
    halo.assign(size_t(count), FlareSprite());
}
