#pragma once
// A scene player that makes one mesh of its scene pulse: each vertex is
// scaled per axis by a sine (x) and a cosine (y, z) whose phase depends on
// its distance from the object's position, so the mesh breathes in waves
// from its middle out. It can also glide the object by animated offsets.
// The mesh's de-indexed positions are rewritten in place from a private copy
// of its rest positions; the normals are left as they are.
//
// Scale of a vertex with phase a0 at scaled local time t:
// sin(a0 + t / 6) x swing + base (x), cos(a0 + t / 6) x swing + base (y, z).
//
// Signals: the scene effect's table, then
//   91  base, swing in percent
//   92  text: the mesh to pulse ("Box08"), copied at once when it changes
//   93  pulse on (A0 != 0) or off; off puts the rest positions back
//   94  move on (A0 != 0) or off; on: offsets from (A1, A2, A3) to
//       (A4, A5, A6), starting A7 ms after the signal, over A8 ms. The
//       offsets are added to the object's position every frame, so a
//       constant offset moves it steadily.
//
// The mesh belongs to the scene; the effect owns its copies only.

#include "math/AnimatedValue.h"
#include "math/Vec3.h"
#include "scene/SceneEffect.h"

#include <string>
#include <vector>

class Mesh;

class ObjectPulse : public SceneEffect {
public:
    ObjectPulse();

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    // Writes the pulsed positions for scaled local time t.
    void pulse(float t);

    Mesh* getMesh() const { return mesh; }
    const std::vector<float>& getRestPositions() const { return restPositions; }
    const std::vector<float>& getPhases() const { return phases; }
    const Vec3& getPivot() const { return pivot; }
    float getLargestDistance() const { return largestDistance; }
    bool isPulsing() const { return pulsing; }
    bool isMoving() const { return moving; }

private:
    void copyMesh();

    std::string objectName = "Box08";
    Mesh* mesh = nullptr;              // the scene's
    std::vector<float> restPositions;  // 3 floats a corner
    std::vector<float> phases;         // one a corner
    Vec3 pivot;                        // the object's position when copied
    float largestDistance = 0.0f;      // only grows, over every mesh copied
    float base = 0.0f;
    float swing = 1.0f;
    bool pulsing = false;
    bool moving = false;
    AnimatedValue offsetX, offsetY, offsetZ; // scene units added a frame
};
