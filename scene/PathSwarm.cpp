#include "scene/PathSwarm.h"

#include "gl/ErrorBox.h"
#include "math/CatmullRom.h"
#include "math/Random.h"
#include "scene/Scene.h"

#include <GL/gl.h>

SceneObject* PathSwarm::clone() const
{
    PathSwarm* copy = new PathSwarm(name.c_str(), id);
    copyMeshTo(*copy);
    for (int i = 0; i < kSwarmParticles; ++i)
        copy->particles[i] = particles[i];
    copy->pathU = pathU;
    copy->segment = segment;
    copy->segmentStartTime = segmentStartTime;
    copy->previousSceneTime = previousSceneTime;
    copy->lastStepTime = lastStepTime;
    copy->started = started;
    copy->swarmSpeed = swarmSpeed;
    return copy;
}

void PathSwarm::setParameters(int, int b)
{
    swarmSpeed = float(b) * 0.01f;
}

bool PathSwarm::resolveSelf(Scene* owner)
{
    scene = owner;
    return true;
}

// ---------------------------------------------------------------------------
// Simulation and drawing

namespace {

constexpr float kStep = 0.001f;            // simulation time per step
constexpr float kStepsPerSceneUnit = 0.003f; // simulation time per unit of scene time
constexpr float kPathSpeed = 0.02f;        // path segments per unit of scene time
constexpr float kScatter = 330.0f;         // start spread around the first vertex, x and z
const Vec3 kAttractor(20.0f, 20.0f, 20.0f);

float unitRandom()
{
    return float(nextRandom()) / float(kRandomMax);
}

// Towards `to` with length `strength`; nothing when already there.
Vec3 pull(const Vec3& from, const Vec3& to, float strength)
{
    Vec3 d = to - from;
    float length = d.length();
    if (length == 0.0f)
        return Vec3();
    return d * (strength / length);
}

// Colours along a trail, oldest point first: black and clear at the tail,
// growing by 0.01 a point towards the head.
struct TrailColours {
    float rgba[(kSwarmTrailPoints - 1) * 4];
    TrailColours()
    {
        float k = 0.0f;
        for (int i = 0; i < kSwarmTrailPoints - 1; ++i) {
            rgba[i * 4 + 0] = 0.6f * k;
            rgba[i * 4 + 1] = 0.5f * k;
            rgba[i * 4 + 2] = 0.4f * k;
            rgba[i * 4 + 3] = k;
            k += 0.01f;
        }
    }
};

} // namespace

void PathSwarm::reset()
{
    seedRandom(100);
    const Vec3 origin = vertices.empty() ? Vec3() : vertices[0].position;
    for (SwarmParticle& p : particles) {
        float dx = (unitRandom() - 0.5f) * kScatter;
        float dz = (unitRandom() - 0.5f) * kScatter;
        p.position = origin + Vec3(dx, 0.0f, dz);
        for (Vec3& point : p.trail)
            point = p.position;
        p.trailHead = 0;
        p.force = Vec3();
        float vx = (unitRandom() - 0.5f) * 0.1f;
        float vy = -float(nextRandom()) * 0.000003051851f;
        float vz = (unitRandom() - 0.5f) * 0.1f;
        p.velocity = Vec3(vx, vy, vz);
    }
    pathU = 0.0f;
    segment = 0;
    segmentStartTime = 0.0f;
    previousSceneTime = 0.0f;
    lastStepTime = 0.0f;
    started = true;
}

Vec3 PathSwarm::pathPoint(float t)
{
    const int count = int(vertices.size());
    if (count == 0)
        return Vec3();
    pathU = (t - segmentStartTime) * kPathSpeed;
    while (pathU >= 1.0f) {
        pathU -= 1.0f;
        if (++segment >= count)
            segment = 0;
        segmentStartTime = t;
    }
    const Vec3& a = vertices[size_t(segment)].position;
    const Vec3& b = vertices[size_t((segment + 1) % count)].position;
    const Vec3& c = vertices[size_t((segment + 2) % count)].position;
    const Vec3& d = vertices[size_t((segment + 3) % count)].position;
    return Vec3(catmullRom(a.x, b.x, c.x, d.x, pathU), catmullRom(a.y, b.y, c.y, d.y, pathU),
                catmullRom(a.z, b.z, c.z, d.z, pathU));
}

void PathSwarm::step(const Vec3& target)
{
    const float gain = kStep * swarmSpeed;
    for (SwarmParticle& p : particles) {
        Vec3 force = pull(p.position, target, 0.8f) + pull(p.position, kAttractor, 0.4f);
        force.y *= 0.5f;
        p.force = force;
        p.velocity = p.velocity + force * gain;
        p.position = p.position + p.velocity;
        p.trail[p.trailHead] = p.position;
    }
}

void PathSwarm::draw()
{
    const float t = scene ? scene->getTime() : 0.0f;
    if (!started || t < previousSceneTime)
        reset();
    previousSceneTime = t;
    if (vertices.empty())
        return;

    const Vec3 target = pathPoint(t);
    const float simulationTime = t * kStepsPerSceneUnit;
    int steps = 0;
    while (lastStepTime + kStep < simulationTime) {
        if (steps == kMaxStepsPerDraw) {
            lastStepTime = simulationTime;
            break;
        }
        lastStepTime += kStep;
        step(target);
        ++steps;
    }
    if (steps > 0)
        for (SwarmParticle& p : particles)
            p.trailHead = (p.trailHead + 1) % kSwarmTrailPoints;

    // The slot at the head is the one the next step writes: the trail is
    // the other 49, from the one after the head round to the one before it.
    float* out = trailVertices;
    for (const SwarmParticle& p : particles) {
        for (int i = 1; i < kSwarmTrailPoints; ++i) {
            const Vec3& point = p.trail[(p.trailHead + i) % kSwarmTrailPoints];
            *out++ = point.x;
            *out++ = point.y;
            *out++ = point.z;
        }
    }

    static const TrailColours colours;
    glDepthMask(GL_FALSE);
    glPointSize(3.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glLineWidth(1.5f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, colours.rgba);
    for (int i = 0; i < kSwarmParticles; ++i) {
        glVertexPointer(3, GL_FLOAT, 0, trailVertices + size_t(i) * (kSwarmTrailPoints - 1) * 3);
        glDrawArrays(GL_LINE_STRIP, 0, kSwarmTrailPoints - 1);
    }
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glLineWidth(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    checkGLError("Forcefield");
}
