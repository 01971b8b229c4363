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

// One sprite of a flare: a square facing the viewer, `size` flare units from
// its centre to each side, centred on `position` (flare units, under the
// flare's transform). A halo sprite shows only while its haloValueA (its
// brightness, 0..1) is above 0; the occlusion test sets it to 1 whenever the
// matching core sprite is seen, and haloValueB (per time unit, -2 then) fades
// it out once the core is hidden.
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

    ~Flare() override;
    SceneObject* clone() const override;

    // Draws the core sprites; with the occlusion test on, draws each core
    // sprite a second time, visibly, while GL counts whether any of it passes
    // the depth test, lights its halo if so, then draws the halos over
    // everything (no depth test). With no occlusion queries in the driver
    // every halo lights.
    void draw() override;

    // Gives a flare that has no sprites yet one core sprite and its halo
    // with the sprite texture, occlusion test on: what the scene effects
    // show for a flare of a scene file, which carries no sprites.
    void setDefaultSprites(Texture* sprite);

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
    const std::vector<unsigned>& occlusionQueries() const { return queries; }

private:
    std::vector<FlareSprite> core;
    std::vector<FlareSprite> halo;  // as many as core
    Texture* texture = nullptr;     // shared, not owned
    bool occlusionTest = false;
    float divisor = 30.0f;
    float previousTime = 0.0f;
    // GL occlusion queries, one per core sprite, made on first draw in the
    // context the flare draws in (a render target's, usually). Contexts do
    // not share queries, so they are deleted in that context.
    std::vector<unsigned> queries;
    void* queryContext = nullptr;
    unsigned long queryContextSerial = 0;
    void deleteQueries();
};

// Halo settings when the core is seen.
constexpr float kHaloSize = 32.0f;
constexpr float kHaloBrightness = 1.0f;
constexpr float kHaloFade = -2.0f;
