#include "tools/vpimport/NodePoses.h"

#include "tools/vpimport/EngineAxes.h"

#include <algorithm>

namespace {

template <typename Key>
const Key* keyAtOrBefore(const Key* keys, unsigned count, double t)
{
    const Key* end = keys + count;
    const Key* after = std::upper_bound(keys, end, t, [](double time, const Key& k) { return time < k.mTime; });
    return after == keys ? keys : after - 1;
}

aiVector3D vectorAt(const aiVectorKey* keys, unsigned count, double t, const aiVector3D& fallback)
{
    if (count == 0)
        return fallback;
    const aiVectorKey* k = keyAtOrBefore(keys, count, t);
    const aiVectorKey* next = k + 1;
    if (next == keys + count || t <= k->mTime)
        return k->mValue;
    double span = next->mTime - k->mTime;
    float f = span > 0.0 ? float((t - k->mTime) / span) : 0.0f;
    return k->mValue + (next->mValue - k->mValue) * f;
}

aiQuaternion rotationAt(const aiQuatKey* keys, unsigned count, double t, const aiQuaternion& fallback)
{
    if (count == 0)
        return fallback;
    const aiQuatKey* k = keyAtOrBefore(keys, count, t);
    const aiQuatKey* next = k + 1;
    if (next == keys + count || t <= k->mTime)
        return k->mValue;
    double span = next->mTime - k->mTime;
    float f = span > 0.0 ? float((t - k->mTime) / span) : 0.0f;
    aiQuaternion out;
    aiQuaternion::Interpolate(out, k->mValue, next->mValue, f);
    return out.Normalize();
}

} // namespace

NodePoses::NodePoses(const aiScene& scene, const aiMatrix4x4& toEngine,
                     const std::vector<const aiAnimation*>& animations, double defaultRate)
    : scene(scene), toEngine(toEngine)
{
    for (const aiAnimation* animation : animations) {
        double ticksPerSecond = animation->mTicksPerSecond > 0.0 ? animation->mTicksPerSecond : defaultRate;
        double length = std::max(0.0, animation->mDuration / ticksPerSecond);
        seconds = std::max(seconds, length);
        for (unsigned i = 0; i < animation->mNumChannels; ++i) {
            const aiNodeAnim* c = animation->mChannels[i];
            channels.insert({c->mNodeName.C_Str(), Channel{c, ticksPerSecond}});
            unsigned keys = std::max({c->mNumPositionKeys, c->mNumRotationKeys, c->mNumScalingKeys});
            if (keys > 1 && length > 0.0)
                rate = std::max(rate, (keys - 1) / length);
        }
    }
}

bool NodePoses::hasChannel(const aiNode* node) const { return channels.count(node->mName.C_Str()) > 0; }

bool NodePoses::moves(const aiNode* node) const
{
    for (; node; node = node->mParent)
        if (hasChannel(node))
            return true;
    return false;
}

aiMatrix4x4 NodePoses::local(const aiNode* node, double t) const
{
    auto it = channels.find(node->mName.C_Str());
    if (it == channels.end())
        return node->mTransformation;
    const aiNodeAnim* c = it->second.keys;
    aiVector3D scaling, position;
    aiQuaternion rotation;
    node->mTransformation.Decompose(scaling, rotation, position);
    double ticks = t * it->second.ticksPerSecond;
    position = vectorAt(c->mPositionKeys, c->mNumPositionKeys, ticks, position);
    rotation = rotationAt(c->mRotationKeys, c->mNumRotationKeys, ticks, rotation);
    scaling = vectorAt(c->mScalingKeys, c->mNumScalingKeys, ticks, scaling);
    return aiMatrix4x4(scaling, rotation, position);
}

const aiNode* NodePoses::engineParent(const aiNode* node) const
{
    auto it = parents.find(node);
    return it == parents.end() ? nullptr : it->second;
}

aiMatrix4x4 NodePoses::engineLocal(const aiNode* node, double t) const
{
    aiMatrix4x4 own = rigidPart(world(node, t));
    const aiNode* parent = engineParent(node);
    if (!parent)
        return own;
    return rigidPart(world(parent, t)).Inverse() * own;
}

aiMatrix4x4 NodePoses::bake(const aiNode* node) const
{
    aiMatrix4x4 w = world(node, 0.0);
    return rigidPart(w).Inverse() * w;
}

bool NodePoses::movesInParent(const aiNode* node) const
{
    const aiNode* parent = engineParent(node);
    for (; node && node != parent; node = node->mParent)
        if (hasChannel(node))
            return true;
    return false;
}

aiMatrix4x4 NodePoses::world(const aiNode* node, double t) const
{
    aiMatrix4x4 m = local(node, t);
    for (const aiNode* p = node->mParent; p; p = p->mParent)
        m = local(p, t) * m;
    return toEngine * m;
}
