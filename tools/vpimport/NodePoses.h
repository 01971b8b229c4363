#pragma once
// Where each node of the source hierarchy is at a given time: its own
// transform from an animation's channel when it has one (keys
// interpolated, held before the first and after the last), the file's
// otherwise; in the engine's frame, and split the way the engine holds it.
// Several animations play together, each from time 0; a node that more
// than one of them moves follows the first of them.
//
// The engine's objects are rigid (translate and rotate; their scale would
// scale the lighting normals as well), so each object carries the rigid part
// of its node's world transform, relative to the object it hangs under, and
// its mesh takes the rest (scale, mirror, the unit conversion) baked into
// the vertices as the node stands at time 0.

#include <assimp/anim.h>
#include <assimp/scene.h>

#include <map>
#include <string>
#include <vector>

class NodePoses {
public:
    // Without animations every node keeps the file's transform.
    // `defaultRate`: ticks per second when the file does not say (3DS
    // counts in frames of 30 a second).
    NodePoses(const aiScene& scene, const aiMatrix4x4& toEngine, const std::vector<const aiAnimation*>& animations,
              double defaultRate);

    // The engine object a node's object hangs under (null: the top level).
    // Nodes that make no object of their own are skipped by this link.
    void setEngineParent(const aiNode* node, const aiNode* parent) { parents[node] = parent; }

    // The node's transform relative to its parent, in source units.
    aiMatrix4x4 local(const aiNode* node, double seconds) const;
    // In the engine's world.
    aiMatrix4x4 world(const aiNode* node, double seconds) const;
    // The object's rigid transform relative to its engine parent.
    aiMatrix4x4 engineLocal(const aiNode* node, double seconds) const;
    // What the node's meshes take into their vertices.
    aiMatrix4x4 bake(const aiNode* node) const;

    bool hasChannel(const aiNode* node) const;
    // The node or one of its ancestors has a channel.
    bool moves(const aiNode* node) const;
    // The node moves relative to its engine parent: it, or a node between
    // the two, has a channel.
    bool movesInParent(const aiNode* node) const;

    // Of the longest animation.
    double duration() const { return seconds; }
    // How many keys per second the densest channel holds.
    double keyRate() const { return rate; }

private:
    const aiNode* engineParent(const aiNode* node) const;

    struct Channel {
        const aiNodeAnim* keys;
        double ticksPerSecond;
    };

    const aiScene& scene;
    aiMatrix4x4 toEngine;
    double seconds = 0.0;
    double rate = 0.0;
    std::map<std::string, Channel> channels;
    std::map<const aiNode*, const aiNode*> parents;
};
