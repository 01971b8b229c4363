#include "effects/GeoSphereDeform.h"

#include "math/Vec3.h"
#include "scene/Mesh.h"
#include "scene/Scene.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

} // namespace

void GeoSphereDeform::init(int time)
{
    SceneEffect::init(time);
    if (!mesh && scene)
        lookUp();
}

void GeoSphereDeform::lookUp()
{
    Mesh* found = dynamic_cast<Mesh*>(scene->findByName(objectName.c_str()));
    if (!found)
        return;
    mesh = found;
    restPositions = mesh->getPositions();
    lengths.resize(restPositions.size() / 3);
    for (size_t i = 0; i < lengths.size(); ++i) {
        const float* p = &restPositions[3 * i];
        float length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        lengths[i] = length == 0.0f ? 1.0f : length;
    }
}

void GeoSphereDeform::render(int time, bool applyRect)
{
    SceneEffect::render(time, applyRect);
    if (mesh)
        deform(localTime);
}

void GeoSphereDeform::deform(int ms)
{
    std::vector<float>& positions = mesh->getPositions();
    std::vector<float>& normals = mesh->getNormals();
    // Whole cycles dropped before going to single precision: the phase of a
    // long run would otherwise lose its fraction.
    double cycles = double(ms) * double(speed);
    const float phase = float((cycles - std::floor(cycles)) * kTwoPi);
    const float half = amplitude * 0.5f;
    const float k = float(kTwoPi) / wavelength;

    const size_t corners = std::min(lengths.size(), positions.size() / 3);
    for (size_t i = 0; i < corners; ++i) {
        const float* p = &restPositions[3 * i];
        const float length = lengths[i];
        float s = std::sin(k * kz * p[2] + phase) + std::cos(k * ky * p[1] + phase) + std::sin(k * kx * p[0] + phase);
        float r = length + half * s - 3.0f * half;
        if (r < minimumRadius)
            r = minimumRadius;
        if (r > maximumRadius)
            r = maximumRadius;
        const float f = r / length;
        float* out = &positions[3 * i];
        out[0] = p[0] * f;
        out[1] = p[1] * f;
        out[2] = p[2] * f;
    }

    // One flat normal per triangle, wound as the mesh's own face normals are
    // (counter-clockwise seen from outside), so the lighting keeps its side.
    if (normals.size() != positions.size())
        return;
    const std::vector<uint32_t>& indices = mesh->getIndices();
    for (size_t t = 0; t + 2 < indices.size(); t += 3) {
        const uint32_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (std::max(i0, std::max(i1, i2)) >= corners)
            continue;
        Vec3 p0(positions[3 * i0], positions[3 * i0 + 1], positions[3 * i0 + 2]);
        Vec3 p1(positions[3 * i1], positions[3 * i1 + 1], positions[3 * i1 + 2]);
        Vec3 p2(positions[3 * i2], positions[3 * i2 + 1], positions[3 * i2 + 2]);
        Vec3 n = Vec3::cross(p1 - p0, p2 - p0);
        n.normalise();
        for (uint32_t c : {i0, i1, i2}) {
            normals[3 * c] = n.x;
            normals[3 * c + 1] = n.y;
            normals[3 * c + 2] = n.z;
        }
    }
}

const SignalTable& GeoSphereDeform::signals()
{
    static const SignalInfo codes[] = {
        {90, "OBJECT", "the object to deform"},
        {91, "amplitude wavelength", "wave size (wavelength 0 keeps it)"},
        {92, "kx ky kz", "wave directions in hundredths"},
        {93, "max min", "radius limits"},
        {94, "percent", "wave speed"},
    };
    static const SignalTable table = signalTable(codes, &SceneEffect::signals());
    return table;
}

void GeoSphereDeform::signal(const SignalArgs& s)
{
    SceneEffect::signal(s);
    const int* a = s.args;
    switch (s.code) {
    case 90:
        objectName = s.text;
        break;
    case 91:
        amplitude = float(a[0]);
        if (a[1] != 0)
            wavelength = float(a[1]);
        break;
    case 92:
        kx = float(a[0]) * 0.01f;
        ky = float(a[1]) * 0.01f;
        kz = float(a[2]) * 0.01f;
        break;
    case 93:
        maximumRadius = float(a[0]);
        minimumRadius = float(a[1]);
        break;
    case 94:
        if (a[0] != 0)
            speed = 1.0f / (float(a[0]) * 0.01f);
        break;
    default:
        break;
    }
}
