#include "effects/ObjectPulse.h"

#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kShadowCaster = "Spot01";
constexpr float kPi = 3.14159265358979f;

} // namespace

ObjectPulse::ObjectPulse()
{
    offsetX.reset(0.0f);
    offsetY.reset(0.0f);
    offsetZ.reset(0.0f);
}

void ObjectPulse::init(int time)
{
    SceneEffect::init(time);
    if (scene)
        copyMesh();
}

void ObjectPulse::copyMesh()
{
    Mesh* found = dynamic_cast<Mesh*>(scene->findByName(objectName.c_str()));
    if (!found || found == mesh)
        return;
    mesh = found;
    restPositions = mesh->getPositions();
    pivot = mesh->getPosition();
    const size_t corners = restPositions.size() / 3;
    phases.resize(corners);
    for (size_t i = 0; i < corners; ++i) {
        const float* p = &restPositions[3 * i];
        Vec3 d(p[0] - pivot.x, p[1] - pivot.y, p[2] - pivot.z);
        phases[i] = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (phases[i] > largestDistance)
            largestDistance = phases[i];
    }
    // Phase = (D - d / D) x pi, D the largest distance so far; a mesh whose
    // corners all sit on the pivot has no distances to divide by.
    const float D = largestDistance;
    for (float& phase : phases)
        phase = (D - (D > 0.0f ? phase / D : 0.0f)) * kPi;
}

void ObjectPulse::render(int time, bool applyRect)
{
    update(time, applyRect);
    if (!scene)
        return;
    applyExtras(time);
    if (scene->getShadowMaps()) {
        if (Light* caster = scene->findLightByName(kShadowCaster))
            caster->setCastsShadow(true);
    }
    scene->setTime(scaledLocalTime);
    scene->animate();

    if (mesh) {
        if (moving) {
            Vec3 offset(offsetX.update(time), offsetY.update(time), offsetZ.update(time));
            mesh->setPosition(mesh->getPosition() + offset);
        }
        if (pulsing)
            pulse(scaledLocalTime / 6.0f);
    }
    scene->transformAndRender();
}

void ObjectPulse::pulse(float t)
{
    std::vector<float>& positions = mesh->getPositions();
    const size_t corners = std::min(phases.size(), positions.size() / 3);
    for (size_t i = 0; i < corners; ++i) {
        const float a = phases[i] + t;
        const float sx = std::sin(a) * swing + base;
        const float cy = std::cos(a) * swing + base;
        const float* p = &restPositions[3 * i];
        float* out = &positions[3 * i];
        out[0] = sx * p[0];
        out[1] = cy * p[1];
        out[2] = cy * p[2];
    }
}

const SignalTable& ObjectPulse::signals()
{
    static const SignalInfo codes[] = {
        {91, "base swing", "pulse size in hundredths"},
        {92, "OBJECT", "the object to pulse"},
        {93, "on", "pulse on or off"},
        {94, "on x0 y0 z0 x1 y1 z1 start duration", "move the object"},
    };
    static const SignalTable table = signalTable(codes, &SceneEffect::signals());
    return table;
}

void ObjectPulse::signal(const SignalArgs& s)
{
    SceneEffect::signal(s);
    const int* a = s.args;
    switch (s.code) {
    case 91:
        base = float(a[0]) * 0.01f;
        swing = float(a[1]) * 0.01f;
        break;
    case 92:
        objectName = s.text;
        if (scene)
            copyMesh();
        break;
    case 93:
        pulsing = a[0] != 0;
        if (!pulsing && mesh) {
            std::vector<float>& positions = mesh->getPositions();
            if (positions.size() == restPositions.size())
                positions = restPositions;
        }
        break;
    case 94:
        moving = a[0] != 0;
        if (moving) {
            offsetX.reset(float(a[1]));
            offsetY.reset(float(a[2]));
            offsetZ.reset(float(a[3]));
            offsetX.moveTo(float(a[4]));
            offsetY.moveTo(float(a[5]));
            offsetZ.moveTo(float(a[6]));
            for (AnimatedValue* v : {&offsetX, &offsetY, &offsetZ}) {
                v->setStartTime(a[7] + s.timeOffset);
                v->setDuration(float(a[8]));
            }
        }
        break;
    default:
        break;
    }
}
