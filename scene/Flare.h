#pragma once
// A lens flare placed by the scene file: two sprite sets of equal count, the
// core sprites and the halo sprites, filled by the effects that use the
// flare. The scene keeps flares in a list of their own and draws them after
// the objects. The sprites move with time: advance() steps every sprite by
// the time passed since the last call, divided by `divisor`.

#include "math/Color4.h"
#include "math/Vec3.h"
#include "scene/SceneObject.h"

#include <vector>

class Texture;

// One sprite of a flare, in the flare's own units.
struct FlareSprite {
    Vec3 position;
    Vec3 velocity;       // per time unit (after the divisor)
    Color4 colour;
    float size = 1.0f;
    float rotation = 0.0f; // degrees
    float spin = 0.0f;     // degrees per time unit
    float fade = 0.0f;     // alpha lost per time unit
    float haloValueA = 0.0f; // set by the occlusion test of the halo pass
    float haloValueB = 0.0f;
};

class Flare : public SceneObject {
public:
    Flare(const char* name, int id) : SceneObject(name, id) {}

    SceneObject* clone() const override;

    // Moves every sprite of both sets by (time - previous time) / divisor and
    // remembers the time.
    void advance(float time);

    // Sets both sets to `count` sprites each.
    void setSpriteCount(int count);
    std::vector<FlareSprite>& coreSprites() { return core; }
    std::vector<FlareSprite>& haloSprites() { return halo; }
    void setTexture(Texture* t) { texture = t; }
    Texture* getTexture() const { return texture; }
    void setOcclusionTest(bool on) { occlusionTest = on; }
    bool getOcclusionTest() const { return occlusionTest; }
    void setDivisor(float value) { divisor = value; }
    float getDivisor() const { return divisor; }

private:
    std::vector<FlareSprite> core;
    std::vector<FlareSprite> halo;  // as many as core
    Texture* texture = nullptr;     // shared, not owned
    bool occlusionTest = false;
    float divisor = 30.0f;
    float previousTime = 0.0f;
};
