#pragma once
// Where each node of the source hierarchy is at a given time: its own
// transform from the animation's channel when it has one (keys
// interpolated, held before the first and after the last), the file's
// otherwise; and the same in the engine's frame, for the objects that live
// outside the hierarchy (cameras, lights, their targets).

#include <assimp/anim.h>
#include <assimp/scene.h>

#include <map>
#include <string>

class NodePoses {
public:
    // `animation` may be null: every node then keeps the file's transform.
    // `defaultRate`: ticks per second when the file does not say (3DS
    // counts in frames of 30 a second).
    NodePoses(const aiScene& scene, const aiMatrix4x4& toEngine, const aiAnimation* animation, double defaultRate);

    // The node's transform relative to its parent, in source units.
    aiMatrix4x4 local(const aiNode* node, double seconds) const;
    // Relative to the engine object it hangs under: the frame conversion and
    // the root's transform are folded into the top-level nodes, which the
    // engine places in the world directly.
    aiMatrix4x4 engineLocal(const aiNode* node, double seconds) const;
    // In the engine's world.
    aiMatrix4x4 world(const aiNode* node, double seconds) const;

    // Whether the root node became an engine object of its own (it holds
    // meshes); otherwise its transform is folded into its children.
    void setRootIsObject(bool on) { rootObject = on; }
    bool rootIsObject() const { return rootObject; }

    bool hasChannel(const aiNode* node) const;
    // The node or one of its ancestors has a channel.
    bool moves(const aiNode* node) const;

    double duration() const { return seconds; }
    // How many keys per second the densest channel holds.
    double keyRate() const { return rate; }

private:
    const aiScene& scene;
    aiMatrix4x4 toEngine;
    double ticksPerSecond = 25.0;
    double seconds = 0.0;
    double rate = 0.0;
    bool rootObject = false;
    std::map<std::string, const aiNodeAnim*> channels;
};
