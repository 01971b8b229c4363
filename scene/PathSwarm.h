#pragma once
// A mesh record without faces: its vertices are the control points of a path
// that a swarm of 100 particles chases, each trailing a ring of 50 points.
// The swarm is simulated from the scene time when it is drawn; here it holds
// its state and the speed that effects tune through setParameters.

#include "math/Vec3.h"
#include "scene/Mesh.h"

constexpr int kSwarmParticles = 100;
constexpr int kSwarmTrailPoints = 50;

struct SwarmParticle {
    Vec3 position;
    Vec3 velocity;
    Vec3 force;
    Vec3 trail[kSwarmTrailPoints];
    int trailHead = 0;
};

class PathSwarm : public Mesh {
public:
    PathSwarm(const char* name, int id) : Mesh(name, id) {}

    SceneObject* clone() const override;
    // Simulates the swarm up to the scene's time and draws every trail as a
    // fading additive line strip (the newest point brightest). The path runs
    // through the vertices as a closed Catmull-Rom loop: a segment that
    // reaches past the last vertex takes its points from the first ones.
    void draw() override;
    void drawGeometry() override {}
    // swarmSpeed = b x 0.01.
    void setParameters(int a, int b) override;

    float getSwarmSpeed() const { return swarmSpeed; }
    SwarmParticle* getParticles() { return particles; }

    // The point the swarm chases at scene time t (advances the segment).
    Vec3 pathPoint(float t);
    int getSegment() const { return segment; }
    // At most this many simulation steps run in one draw; a longer jump of
    // the scene time skips the rest.
    static constexpr int kMaxStepsPerDraw = 5000;

protected:
    // Remembers the scene; a path has no faces, materials or draw arrays.
    bool resolveSelf(Scene* owner) override;
    void reset();
    void step(const Vec3& target);

    SwarmParticle particles[kSwarmParticles];
    float pathU = 0.0f;             // position along the current segment, 0..1
    int segment = 0;                // index of the first of the segment's four vertices
    float segmentStartTime = 0.0f;  // scene time at the last segment change
    float previousSceneTime = 0.0f; // scene time seen at the previous draw
    float lastStepTime = 0.0f;      // time of the last simulation step
    bool started = false;           // false until the first draw has reset the swarm
    float swarmSpeed = 10.0f;
    // The trails in drawing order (oldest point first), refilled every draw.
    float trailVertices[kSwarmParticles * (kSwarmTrailPoints - 1) * 3] = {};
};
