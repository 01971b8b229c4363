#pragma once
// The whole source scene as the engine's records: materials, the node
// hierarchy as meshes and dummies, cameras and lights with their target
// dummies, and the sampled animation.

#include "tools/scenewriter/SceneWriter.h"
#include "tools/vpimport/ImportOptions.h"
#include "tools/vpimport/TextureExport.h"

#include <assimp/scene.h>

#include <string>
#include <vector>

// One of the file's animations, for the summary.
struct AnimationInfo {
    std::string name;
    double seconds = 0.0;
    int nodes = 0;       // channels, one a node
    bool carried = true; // false: left out by --animation
};

struct ImportSummary {
    std::string frame;            // the source's axes and units
    std::string unit;             // "metres", ...
    bool unitSaid = true;         // false: the file cannot say; its unit is assumed
    int objects = 0;              // meshes and dummies of the hierarchy
    int meshes = 0;
    size_t faces = 0;
    int materials = 0;
    int textures = 0;
    int cameras = 0;
    int lights = 0;
    int animatedNodes = 0;        // objects, cameras and lights with samples
    int samples = 0;              // per animated node
    int sampleMs = 0;             // milliseconds of source time per sample
    int effectSpeed = 100;        // the scene effect's speed that plays them at that pace
    int interval = 0;             // scene-time units per sample at that speed
    float size = 0.0f;            // the diagonal of the model's bounding box, engine units
    bool addedCamera = false;
    bool addedLight = false;
    std::vector<AnimationInfo> animations; // all of the file's, in its order
    std::vector<std::string> notes;
};

// False with `error` set when the scene holds nothing the engine can show.
bool convertScene(const aiScene& scene, const ImportOptions& options, const std::string& extension,
                  TextureExport& textures, SceneWriter& writer, ImportSummary& summary, std::string& error);
