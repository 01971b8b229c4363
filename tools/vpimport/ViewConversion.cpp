#include "tools/vpimport/ViewConversion.h"

#include "tools/vpimport/EngineAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float kDegrees = 57.29578f;
constexpr int kMaxLights = 8; // what GL guarantees
// The engine's cameras: 45 degrees high, a 4:3 picture.
constexpr float kDefaultFov = 45.0f;
constexpr float kAspect = 4.0f / 3.0f;

Vec3 transformPoint(const aiMatrix4x4& m, const aiVector3D& p) { return toVec3(m * p); }

// Some readers of the library (glTF, 3DS) put a camera's or light's position
// both into its node and into the camera or light itself; the node's is the
// one its animation moves.
aiVector3D ownOffset(const aiVector3D& own, const aiNode* node, bool copiedFromNode)
{
    if (!node || copiedFromNode)
        return copiedFromNode ? aiVector3D() : own;
    aiVector3D t(node->mTransformation.a4, node->mTransformation.b4, node->mTransformation.c4);
    return (own - t).Length() <= 0.001f * std::max(1.0f, t.Length()) ? aiVector3D() : own;
}

Vec3 transformDirection(const aiMatrix4x4& m, const aiVector3D& d)
{
    aiVector3D r = aiMatrix3x3(m) * d;
    r.Normalize();
    return toVec3(r);
}

std::string numbered(const char* stem, int n)
{
    char name[32];
    std::snprintf(name, sizeof name, "%s%02d", stem, n);
    return name;
}

} // namespace

void Bounds::add(const Vec3& p)
{
    min = Vec3(std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z));
    max = Vec3(std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z));
}

float ViewConversion::verticalAngle(const aiCamera& camera) const
{
    float aspect = camera.mAspect > 0.0f ? camera.mAspect : kAspect;
    // The glTF reader of the library hands over yfov x aspect as its
    // "horizontal" angle, a product rather than an angle; dividing gives the
    // file's vertical angle back exactly. The other readers give the whole
    // horizontal angle (whatever the library's documentation says), and
    // the engine wants the whole vertical one.
    if (gltf)
        return camera.mHorizontalFOV / (camera.mAspect > 0.0f ? camera.mAspect : 1.0f);
    return 2.0f * std::atan(std::tan(0.5f * camera.mHorizontalFOV) / aspect);
}

float Bounds::radius() const { return empty() ? 0.0f : (max - min).length() * 0.5f; }

ViewConversion::ViewConversion(const aiScene& scene, const NodePoses& poses, const Bounds& bounds, SceneWriter& writer,
                               const std::string& extension, std::function<int32_t()> nextId,
                               std::function<std::string(const std::string&)> uniqueName)
    : scene(scene), poses(poses), bounds(bounds), writer(writer), positionsInNodes(extension == "3ds"),
      halfCones(extension == "gltf" || extension == "glb"), gltf(halfCones), nextId(std::move(nextId)),
      uniqueName(std::move(uniqueName))
{
}

int32_t ViewConversion::addTarget(const std::string& owner, const Vec3& at)
{
    int32_t id = nextId();
    std::string name = uniqueName(owner + ".Target");
    writer.addDummy(id, name.c_str()).position = at;
    return id;
}

int ViewConversion::addCameras(bool& added, std::vector<WorldTrack>& tracks)
{
    const Vec3 centre = bounds.centre();
    const float radius = std::max(bounds.radius(), 1.0f);
    int count = 0;
    for (unsigned i = 0; i < scene.mNumCameras; ++i) {
        const aiCamera* cam = scene.mCameras[i];
        const aiNode* node = scene.mRootNode->FindNode(cam->mName);
        auto world = [this, node](double t) { return node ? poses.world(node, t) : poses.world(scene.mRootNode, t); };
        aiVector3D offset = ownOffset(cam->mPosition, node, positionsInNodes);
        auto position = [offset, world](double t) { return transformPoint(world(t), offset); };
        // A look direction the reader left at its default (3DS target
        // cameras lose their target on the way in) aims at the model.
        bool lost = positionsInNodes && cam->mLookAt == aiVector3D(0.0f, 0.0f, 1.0f);
        auto direction = [cam, world, lost, centre, position](double t) {
            if (lost) {
                Vec3 d = centre - position(t);
                d.normalise();
                return d;
            }
            return transformDirection(world(t), cam->mLookAt);
        };
        // The target sits as far along the view as the model's centre is,
        // so that it stays in the picture's depth range.
        Vec3 p0 = position(0.0), d0 = direction(0.0);
        float depth = std::max({(centre - p0).dot(d0), radius * 0.1f, 1.0f});
        auto target = [position, direction, depth](double t) {
            Vec3 d = direction(t);
            Vec3 at = position(t) + d * depth;
            // Looking straight up or down leaves the engine's up vector
            // (0, 1, 0) no sideways direction; lean the view a hair.
            if (std::fabs(d.y) > 0.9999f)
                at.z -= depth * 0.001f;
            return at;
        };

        float fovy = kDefaultFov;
        if (cam->mHorizontalFOV > 0.0f)
            fovy = std::clamp(verticalAngle(*cam) * kDegrees, 1.0f, 170.0f);

        std::string name = uniqueName(cam->mName.length ? cam->mName.C_Str() : numbered("Camera", count + 1));
        int32_t targetId = addTarget(name, target(0.0));
        int32_t id = nextId();
        writer.addCamera(id, name.c_str(), p0, fovy, targetId);
        if (count == 0) {
            firstEye = position;
            firstCameraMoves = node && poses.moves(node);
            haveFileCamera = true;
        }
        if (node && poses.moves(node)) {
            tracks.push_back({id, position});
            tracks.push_back({targetId, target});
        }
        ++count;
    }
    added = count == 0;
    if (added) {
        // From the front (the viewer on +z), a little above, far enough
        // that the model's bounding sphere fits the picture's height.
        float distance = radius / std::sin(0.5f * kDefaultFov / kDegrees) * 1.1f;
        float up = 15.0f / kDegrees;
        Vec3 at = bounds.empty() ? Vec3() : centre;
        Vec3 eye = at + Vec3(0.0f, std::sin(up), std::cos(up)) * distance;
        std::string name = uniqueName("Camera01");
        int32_t targetId = addTarget(name, at);
        writer.addCamera(nextId(), name.c_str(), eye, kDefaultFov, targetId);
        count = 1;
    }
    return count;
}

int ViewConversion::addLights(bool& added, std::vector<WorldTrack>& tracks, std::vector<std::string>& notes)
{
    const Vec3 centre = bounds.empty() ? Vec3() : bounds.centre();
    const float radius = std::max(bounds.radius(), 1.0f);
    int count = 0;
    for (unsigned i = 0; i < scene.mNumLights; ++i) {
        const aiLight* light = scene.mLights[i];
        if (light->mType == aiLightSource_AMBIENT || light->mType == aiLightSource_UNDEFINED) {
            notes.push_back(std::string("light ") + light->mName.C_Str() + ": ambient lights are left out");
            continue;
        }
        if (count == kMaxLights) {
            notes.push_back("more than 8 lights: the rest are left out");
            break;
        }
        const aiNode* node = scene.mRootNode->FindNode(light->mName);
        auto world = [this, node](double t) { return node ? poses.world(node, t) : poses.world(scene.mRootNode, t); };
        auto direction = [light, world](double t) { return transformDirection(world(t), light->mDirection); };
        bool directional = light->mType == aiLightSource_DIRECTIONAL;
        // A directional light becomes an omni light far off along its
        // direction: its rays then cross the model nearly parallel.
        float far = radius * 20.0f;
        aiVector3D offset = ownOffset(light->mPosition, node, positionsInNodes);
        auto position = [offset, world, directional, direction, centre, far](double t) {
            return directional ? centre - direction(t) * far : transformPoint(world(t), offset);
        };

        Vec3 colour(light->mColorDiffuse.r, light->mColorDiffuse.g, light->mColorDiffuse.b);
        float brightest = std::max({colour.x, colour.y, colour.z});
        // Intensity beyond 1 would clip channel by channel and change the
        // hue; the colour keeps its hue at full strength instead.
        if (brightest > 1.0f)
            colour = colour * (1.0f / brightest);
        else if (brightest <= 0.0f)
            colour = Vec3(1.0f, 1.0f, 1.0f);

        const char* stem = directional ? "Direct" : light->mType == aiLightSource_SPOT ? "Spot" : "Omni";
        std::string name = uniqueName(light->mName.length ? light->mName.C_Str() : numbered(stem, count + 1));
        int32_t id = nextId();
        LightRecord& r = writer.addLight(id, name.c_str(), position(0.0), colour);
        r.range = 0.0f;
        if (light->mType == aiLightSource_SPOT) {
            Vec3 p0 = position(0.0);
            float depth = std::max({(centre - p0).dot(direction(0.0)), radius * 0.1f, 1.0f});
            auto target = [position, direction, depth](double t) { return position(t) + direction(t) * depth; };
            // GL wants half the cone's angle, which the library gives for
            // glTF and the whole angle for the rest.
            float outer = light->mAngleOuterCone > 0.0f ? light->mAngleOuterCone : 1.0f;
            float inner = std::clamp(light->mAngleInnerCone, 0.0f, outer);
            r.spotCutoff = std::clamp((halfCones ? 1.0f : 0.5f) * outer * kDegrees, 1.0f, 90.0f);
            // A soft edge (inner cone narrower than the outer) as a falloff
            // toward the rim.
            r.spotExponent = std::clamp(32.0f * (1.0f - inner / outer), 0.0f, 128.0f);
            r.targetId = addTarget(name, target(0.0));
            if (node && poses.moves(node))
                tracks.push_back({r.targetId, target});
        }
        if (node && poses.moves(node))
            tracks.push_back({id, position});
        ++count;
    }
    added = count == 0;
    if (added) {
        // Above, to the right of and in front of the model, as a key light,
        // a little below full strength so that a white surface facing it
        // keeps its shading. A file that brings its own camera but no light
        // is lit from that camera, a little above it, as modelling tools
        // light an unlit scene from the viewer: what it frames is then lit.
        // A moving camera takes its light along, or the faces it turns to
        // see would be lit from behind.
        Vec3 lift(0.0f, radius * 0.5f, 0.0f);
        Vec3 at = haveFileCamera ? firstEye(0.0) + lift : centre + Vec3(radius * 2.0f, radius * 2.6f, radius * 4.0f);
        int32_t id = nextId();
        writer.addLight(id, uniqueName("Omni01").c_str(), at, Vec3(0.8f, 0.8f, 0.8f));
        if (haveFileCamera && firstCameraMoves)
            tracks.push_back({id, [eye = firstEye, lift](double t) { return eye(t) + lift; }});
        count = 1;
    }
    return count;
}
