#pragma once
// Cameras and lights: the engine keeps them outside the object hierarchy, in
// world coordinates, and aims them at target objects; each gets a top-level
// dummy placed along its look direction.

#include "tools/scenewriter/SceneWriter.h"
#include "tools/vpimport/NodePoses.h"

#include <assimp/scene.h>

#include <functional>
#include <string>
#include <vector>

struct Bounds {
    Vec3 min{1e30f, 1e30f, 1e30f};
    Vec3 max{-1e30f, -1e30f, -1e30f};
    void add(const Vec3& p);
    bool empty() const { return min.x > max.x; }
    Vec3 centre() const { return (min + max) * 0.5f; }
    float radius() const;
};

// An object outside the hierarchy whose pose follows a moving node: the
// sampler asks `pose` for its position at each sample time.
struct WorldTrack {
    int32_t id = 0;
    std::function<Vec3(double seconds)> pose;
};

class ViewConversion {
public:
    // `extension`: the source format (lower case), whose reader in the
    // library has its own habits with cameras and lights.
    ViewConversion(const aiScene& scene, const NodePoses& poses, const Bounds& bounds, SceneWriter& writer,
                   const std::string& extension, std::function<int32_t()> nextId, std::function<std::string(const std::string&)> uniqueName);

    // Writes the file's cameras, or "Camera01" framing the model when it has
    // none; returns how many were written.
    int addCameras(bool& added, std::vector<WorldTrack>& tracks);
    // Writes the file's lights (the engine holds at most 8), or one light
    // beside the first camera (the file's or the default view) when it has
    // none. Call after addCameras.
    int addLights(bool& added, std::vector<WorldTrack>& tracks, std::vector<std::string>& notes);

private:
    int32_t addTarget(const std::string& owner, const Vec3& at);
    // The camera's whole vertical angle, in radians.
    float verticalAngle(const aiCamera& camera) const;

    const aiScene& scene;
    const NodePoses& poses;
    Bounds bounds;
    SceneWriter& writer;
    bool positionsInNodes; // 3DS: positions are the nodes', whatever the camera or light says
    bool halfCones;        // glTF: spot cones are given by half their angle
    bool gltf;
    std::function<int32_t()> nextId;
    std::function<std::string(const std::string&)> uniqueName;
    // The first camera of the file, where the default light goes.
    bool haveFileCamera = false;
    bool firstCameraMoves = false;
    std::function<Vec3(double seconds)> firstEye;
};
