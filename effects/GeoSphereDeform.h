#pragma once
// A scene player that makes one roughly spherical mesh of its scene wobble:
// every frame each vertex moves along its direction from the mesh origin by
// a sum of three travelling sine waves (one per axis), and the face normals
// are worked out again. The mesh's de-indexed arrays are rewritten in place
// from a private copy of its rest positions, after the scene is drawn, so
// the picture shows them on the next frame.
//
// Radius of a vertex at rest distance L: L + a/2 (s - 3), s the sum of the
// three waves in [-3, 3], a the amplitude; then held within the minimum and
// maximum radius. Wave phase = local time (ms) x speed (cycles a ms).
//
// Signals: the scene effect's table, then
//   90  text: the mesh's name for the next look-up ("GeoSphere01"; a mesh
//       already copied stays in use)
//   91  amplitude, wavelength (scene units; a wavelength of 0 is refused)
//   92  axis factors kx, ky, kz in percent
//   93  maximum radius, minimum radius
//   94  ms per cycle / 100 (speed = 1 / (A0 x 0.01) cycles a ms); 0 changes nothing
//
// The mesh belongs to the scene; the effect owns its two arrays only.

#include "scene/SceneEffect.h"

#include <string>
#include <vector>

class Mesh;

class GeoSphereDeform : public SceneEffect {
public:
    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    // Rewrites the mesh's positions and normals for local time `ms`.
    void deform(int ms);

    Mesh* getMesh() const { return mesh; }
    const std::vector<float>& getRestPositions() const { return restPositions; }
    float getSpeed() const { return speed; }
    float getMaximumRadius() const { return maximumRadius; }

private:
    void lookUp();

    Mesh* mesh = nullptr;              // the scene's
    std::vector<float> restPositions;  // 3 floats a corner, as the mesh had them
    std::vector<float> lengths;        // distance of each rest corner from the origin; 1 for 0
    std::string objectName = "GeoSphere01";
    float wavelength = 150.0f;
    float amplitude = 65.0f;
    float kx = 1.5f, ky = 0.8f, kz = 1.2f;
    float maximumRadius = 80.0f;
    float minimumRadius = 0.0f;
    float speed = 0.2f;                // cycles a ms
};
