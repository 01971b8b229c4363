#include "scene/PathSwarm.h"

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
