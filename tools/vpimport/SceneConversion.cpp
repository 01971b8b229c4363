#include "tools/vpimport/SceneConversion.h"

#include "tools/vpimport/EngineAxes.h"
#include "tools/vpimport/MaterialConversion.h"
#include "tools/vpimport/MeshConversion.h"
#include "tools/vpimport/NodePoses.h"
#include "tools/vpimport/ViewConversion.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

namespace {

bool isHelper(const aiNode* node);

constexpr float kDefaultSmoothAngle = 30.0f;
constexpr int kDefaultFps = 10;
constexpr size_t kMaxNameBytes = 51;
// Levels of objects; GL guarantees a modelview stack of 32, and the layers
// and render targets above a scene push a few of their own.
constexpr int kMaxDepth = 24;

// The animations to carry over: all that move a node, or the one
// --animation names. They play together from time 0; where two move the
// same node, the first in the file moves it, and a note says so.
bool chooseAnimations(const aiScene& scene, const ImportOptions& options, double defaultRate,
                      std::vector<const aiAnimation*>& chosen, ImportSummary& summary, std::string& error)
{
    std::string names;
    for (unsigned i = 0; i < scene.mNumAnimations; ++i) {
        const aiAnimation* a = scene.mAnimations[i];
        AnimationInfo info;
        info.name = a->mName.C_Str();
        info.seconds = std::max(0.0, a->mDuration / (a->mTicksPerSecond > 0.0 ? a->mTicksPerSecond : defaultRate));
        info.nodes = int(a->mNumChannels);
        info.carried = options.animation.empty() ? a->mNumChannels > 0 : info.name == options.animation;
        if (info.carried && (chosen.empty() || options.animation.empty()))
            chosen.push_back(a);
        else
            info.carried = false;
        summary.animations.push_back(info);
        names += (names.empty() ? "\"" : ", \"") + info.name + "\"";
    }
    if (!options.animation.empty() && chosen.empty()) {
        error = "no animation named \"" + options.animation + "\": " +
                (names.empty() ? std::string("the file holds none") : "the file holds " + names);
        return false;
    }

    // Which animation moves each node, and how many nodes each pair shares.
    std::map<std::string, size_t> mover;
    std::map<std::pair<size_t, size_t>, int> shared;
    for (size_t k = 0; k < chosen.size(); ++k)
        for (unsigned i = 0; i < chosen[k]->mNumChannels; ++i) {
            auto [it, fresh] = mover.insert({chosen[k]->mChannels[i]->mNodeName.C_Str(), k});
            if (!fresh)
                ++shared[{it->second, k}];
        }
    for (const auto& [pair, count] : shared)
        summary.notes.push_back("animations \"" + std::string(chosen[pair.first]->mName.C_Str()) + "\" and \"" +
                                chosen[pair.second]->mName.C_Str() + "\" both move " + std::to_string(count) +
                                (count == 1 ? " node" : " nodes") + ": the first in the file moves " +
                                (count == 1 ? "it" : "them") + "; --animation NAME picks one");
    return true;
}

class Converter {
public:
    Converter(const aiScene& scene, const ImportOptions& options, const std::string& extension,
              const SourceFrame& frame, const std::vector<const aiAnimation*>& animations, double defaultRate,
              TextureExport& textures, SceneWriter& writer, ImportSummary& summary)
        : scene(scene), options(options), extension(extension), frame(frame), textures(textures), writer(writer),
          summary(summary), animations(animations), poses(scene, frame.toEngine, animations, defaultRate)
    {
    }

    bool run(std::string& error);

private:
    int32_t newId() { return nextId++; }
    // Cameras and lights keep their own names (scripts select them by
    // name); objects of the hierarchy step aside.
    std::string uniqueName(const std::string& wanted, bool forView = false);
    void addMaterials();
    void addNode(const aiNode* node, int32_t parentId, const aiNode* parentNode, int depth);
    bool addMesh(const aiNode* node, unsigned meshIndex, const std::string& name, int32_t id, int32_t parentId,
                 const aiMatrix4x4& local);
    void noteWhatIsLeftOut();
    void addAnimation(const std::vector<WorldTrack>& tracks);

    const aiScene& scene;
    const ImportOptions& options;
    const std::string extension;
    const SourceFrame& frame;
    TextureExport& textures;
    SceneWriter& writer;
    ImportSummary& summary;
    const std::vector<const aiAnimation*>& animations;
    NodePoses poses;
    int32_t nextId = 1;
    std::set<std::string> names;
    std::set<std::string> viewNames; // of the file's cameras and lights
    std::vector<std::pair<const aiNode*, int32_t>> nodeObjects; // hierarchy objects that carry a node's transform
    Bounds bounds;
    bool finite = true;
    bool flattened = false;
};

std::string Converter::uniqueName(const std::string& wanted, bool forView)
{
    std::string base = wanted.substr(0, kMaxNameBytes);
    std::string name = base;
    for (int n = 2; names.count(name) || (!forView && viewNames.count(name)); ++n) {
        std::string suffix = "." + std::to_string(n);
        name = base.substr(0, kMaxNameBytes - suffix.size()) + suffix;
    }
    names.insert(name);
    return name;
}

void Converter::addMaterials()
{
    for (unsigned i = 0; i < scene.mNumMaterials; ++i) {
        aiString name;
        scene.mMaterials[i]->Get(AI_MATKEY_NAME, name);
        std::string text = name.length ? std::string(name.C_Str()).substr(0, kMaxNameBytes) : "Material" + std::to_string(i + 1);
        MaterialRecord& r = writer.addMaterial(int32_t(i + 1), text.c_str());
        convertMaterial(*scene.mMaterials[i], extension != "3ds", textures, r, summary.notes);
    }
    summary.materials = int(scene.mNumMaterials);
    // Object ids follow the material ids, so that no id means two things.
    nextId = int32_t(scene.mNumMaterials) + 1;
}

bool Converter::addMesh(const aiNode* node, unsigned meshIndex, const std::string& name, int32_t id,
                        int32_t parentId, const aiMatrix4x4& local)
{
    const aiMesh& mesh = *scene.mMeshes[meshIndex];
    MeshRecord geometry;
    size_t faces = convertMesh(mesh, int32_t(mesh.mMaterialIndex + 1), poses.bake(node), options.smoothAngle,
                               kDefaultSmoothAngle, geometry);
    if (faces == 0)
        return false;
    EngineTransform t = engineTransform(local);
    MeshRecord& r = writer.addMesh(id, name.c_str(), parentId);
    geometry.id = r.id;
    geometry.parentId = r.parentId;
    geometry.name = r.name;
    geometry.position = t.position;
    geometry.rotation = t.rotation;
    r = std::move(geometry);

    // The mesh stands at its node, whether it is the node's object or hangs
    // untransformed under the node's dummy.
    aiMatrix4x4 world = rigidPart(poses.world(node, 0.0));
    for (const Vec3& v : r.vertices) {
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
            finite = false;
        bounds.add(toVec3(world * aiVector3D(v.x, v.y, v.z)));
    }
    summary.faces += faces;
    ++summary.meshes;
    ++summary.objects;
    return true;
}

// The FBX reader splits a node's pivots and offsets into helper nodes of its
// own; they make no object here (their transforms still reach the children,
// which the engine places from world transforms).
bool isHelper(const aiNode* node)
{
    return node->mNumMeshes == 0 && std::strstr(node->mName.C_Str(), "$AssimpFbx$") != nullptr;
}

void Converter::addNode(const aiNode* node, int32_t parentId, const aiNode* parentNode, int depth)
{
    // A node that only carries a camera or a light is that camera or light.
    if (node->mNumMeshes == 0 && node->mNumChildren == 0 && viewNames.count(node->mName.C_Str()))
        return;
    if (isHelper(node)) {
        for (unsigned i = 0; i < node->mNumChildren; ++i)
            addNode(node->mChildren[i], parentId, parentNode, depth);
        return;
    }
    poses.setEngineParent(node, parentNode);
    aiMatrix4x4 local = poses.engineLocal(node, 0.0);
    std::string wanted = node->mName.length ? node->mName.C_Str() : "Object" + std::to_string(nextId);
    int32_t id = newId();
    std::string name = uniqueName(wanted);
    bool asMesh = node->mNumMeshes == 1 && addMesh(node, node->mMeshes[0], name, id, parentId, local);
    if (!asMesh) {
        // A node without exactly one mesh is a dummy: its meshes (one per
        // material, as the library splits them) hang under it untransformed.
        EngineTransform t = engineTransform(local);
        DummyRecord& d = writer.addDummy(id, name.c_str(), parentId);
        d.position = t.position;
        d.rotation = t.rotation;
        ++summary.objects;
        for (unsigned i = 0; i < node->mNumMeshes && node->mNumMeshes > 1; ++i) {
            const aiMesh* mesh = scene.mMeshes[node->mMeshes[i]];
            std::string meshName = mesh->mName.length ? mesh->mName.C_Str() : wanted + "_" + std::to_string(i + 1);
            int32_t meshId = newId();
            if (!addMesh(node, node->mMeshes[i], uniqueName(meshName), meshId, id, aiMatrix4x4()))
                --nextId;
        }
    }
    nodeObjects.emplace_back(node, id);
    // The engine pushes a GL matrix for each level it descends, and GL's
    // modelview stack may hold no more than 32; a deeper hierarchy goes on
    // as siblings of its last level (placed from world transforms, so
    // nothing moves).
    bool deeper = depth < kMaxDepth;
    if (!deeper && node->mNumChildren > 0 && !flattened) {
        summary.notes.push_back("the hierarchy is deeper than " + std::to_string(kMaxDepth) +
                                " levels: the levels below hang side by side");
        flattened = true;
    }
    for (unsigned i = 0; i < node->mNumChildren; ++i)
        addNode(node->mChildren[i], deeper ? id : parentId, deeper ? node : parentNode, deeper ? depth + 1 : depth);
}

bool Converter::run(std::string& error)
{
    summary.frame = frame.description;
    addMaterials();
    for (unsigned i = 0; i < scene.mNumCameras; ++i)
        viewNames.insert(std::string(scene.mCameras[i]->mName.C_Str()).substr(0, kMaxNameBytes));
    for (unsigned i = 0; i < scene.mNumLights; ++i)
        viewNames.insert(std::string(scene.mLights[i]->mName.C_Str()).substr(0, kMaxNameBytes));

    // The root's own meshes stand at the top level; so do its children,
    // which take the root's transform and the frame conversion.
    const aiNode* root = scene.mRootNode;
    if (root->mNumMeshes > 0)
        addNode(root, 0, nullptr, 1);
    else
        for (unsigned i = 0; i < root->mNumChildren; ++i)
            addNode(root->mChildren[i], 0, nullptr, 1);

    if (!finite) {
        error = "vertex positions are not finite numbers";
        return false;
    }
    if (summary.faces == 0) {
        error = "nothing to import: the file holds no triangles";
        return false;
    }
    summary.size = bounds.radius() * 2.0f;
    noteWhatIsLeftOut();

    std::vector<WorldTrack> tracks;
    ViewConversion views(scene, poses, bounds, writer, extension, [this] { return newId(); },
                         [this](const std::string& n) { return uniqueName(n, true); });
    summary.cameras = views.addCameras(summary.addedCamera, tracks);
    summary.lights = views.addLights(summary.addedLight, tracks, summary.notes);
    addAnimation(tracks);
    summary.textures = int(textures.files().size());

    std::string problems = writer.check();
    if (!problems.empty()) {
        error = "internal error: " + problems.substr(0, problems.find('\n'));
        return false;
    }
    return true;
}

// What the engine has no place for, said once each.
void Converter::noteWhatIsLeftOut()
{
    for (unsigned i = 0; i < scene.mNumMeshes; ++i)
        if (scene.mMeshes[i]->HasBones()) {
            summary.notes.push_back("skinned meshes stand in their rest pose: bones are not carried over");
            break;
        }
    bool meshes = false, scales = false;
    for (const aiAnimation* animation : animations) {
        meshes = meshes || animation->mNumMeshChannels > 0 || animation->mNumMorphMeshChannels > 0;
        for (unsigned i = 0; i < animation->mNumChannels && !scales; ++i) {
            const aiNodeAnim* c = animation->mChannels[i];
            for (unsigned k = 1; k < c->mNumScalingKeys && !scales; ++k)
                scales = !c->mScalingKeys[k].mValue.Equal(c->mScalingKeys[0].mValue, 1e-4f);
        }
    }
    if (meshes)
        summary.notes.push_back("mesh and morph animation are not carried over");
    if (scales)
        summary.notes.push_back("animated scale is not carried over: objects keep their size at the start");
}

void Converter::addAnimation(const std::vector<WorldTrack>& tracks)
{
    if (animations.empty() || poses.duration() <= 0.0)
        return;
    std::vector<std::pair<const aiNode*, int32_t>> animated;
    for (const auto& [node, id] : nodeObjects)
        if (poses.movesInParent(node))
            animated.emplace_back(node, id);
    if (animated.empty() && tracks.empty())
        return;

    // One scene-time unit is the scene effect's speed in milliseconds (100
    // unless the script changes it); a sample lasts a whole number of units.
    int fps = options.fps > 0 ? options.fps : kDefaultFps;
    int period = std::max(1, int(std::lround(1000.0 / fps)));
    if (period % 100 == 0) {
        summary.effectSpeed = 100;
        summary.interval = period / 100;
    } else {
        summary.effectSpeed = period;
        summary.interval = 1;
    }
    summary.sampleMs = period;
    int count = int(std::floor(poses.duration() * 1000.0 / period + 1e-6)) + 1;
    summary.samples = count;

    for (const auto& [node, id] : animated) {
        const aiNode* n = node;
        writer.addSampledMotion(id, summary.interval, count, [this, n, period](int i, Vec3& p, Quaternion& q) {
            EngineTransform t = engineTransform(poses.engineLocal(n, i * period / 1000.0));
            p = t.position;
            q = t.rotation;
        });
    }
    for (const WorldTrack& track : tracks)
        writer.addSampledMotion(track.id, summary.interval, count, [&track, period](int i, Vec3& p, Quaternion& q) {
            p = track.pose(i * period / 1000.0);
            q = Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
        });
    summary.animatedNodes = int(animated.size() + tracks.size());
    if (poses.keyRate() > 1000.0 / period * 1.01)
        summary.notes.push_back("the animation has keys " + std::to_string(int(std::lround(poses.keyRate()))) +
                                " times a second; --fps samples it " + std::to_string(1000 / period) + " times");
}

} // namespace

bool convertScene(const aiScene& scene, const ImportOptions& options, const std::string& extension,
                  TextureExport& textures, SceneWriter& writer, ImportSummary& summary, std::string& error)
{
    if (!scene.mRootNode) {
        error = "the file has no node hierarchy";
        return false;
    }
    SourceFrame frame = sourceFrame(scene, extension, options.scale, options.units);
    summary.unit = frame.unit;
    summary.unitSaid = frame.unitSaid;
    const double defaultRate = extension == "3ds" ? 30.0 : 25.0;
    std::vector<const aiAnimation*> animations;
    if (!chooseAnimations(scene, options, defaultRate, animations, summary, error))
        return false;
    Converter converter(scene, options, extension, frame, animations, defaultRate, textures, writer, summary);
    return converter.run(error);
}
