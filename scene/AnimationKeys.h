#pragma once
// Key controllers as the exporter writes them: position keys with tension,
// continuity and bias (Kochanek-Bartels), and rotation keys. They are kept
// with their objects and their tangents are worked out at load time, but
// playback runs from the sampled controller only (Scene::setTime / animate).

#include "math/Vec3.h"

#include <cstdint>

struct PositionKey {
    int16_t frame = 0;     // only the low 16 bits of the stored frame count
    Vec3 position;
    Vec3 inTangent;
    Vec3 outTangent;
    float tension = 0.0f;
    float continuity = 0.0f;
    float bias = 0.0f;
    float unused[2] = {0.0f, 0.0f}; // stored with the key, read by nothing
};

struct RotationKey {
    int16_t frame = 0;
    float value[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // as read from the file
};

// Fills inTangent and outTangent of every key from the positions, frames and
// the keys' tension, continuity and bias. Fewer than two keys: nothing to do.
// Keys whose frames coincide would divide by zero; their tangents are left 0.
void computeKeyTangents(PositionKey* keys, int count);
