#pragma once
// The effect that plays a 3D scene. The script loads the scene with signal 50
// (normally a setup event) and steers it with numbered signals: cameras and
// their field of view, fog, culling, objects spun, moved, faded or hidden,
// lights, materials, shadows. Every frame it turns its own clock into the
// scene's animation time and draws the scene through the current camera.
//
// Scene time is the effect's scaled local time (ms since its start / speed).
// Spins are degrees per unit of it, moves scene units per unit of it: both are
// absolute in time, so an object spun at 10 degrees a unit shows 10 x t.
//
// The scene is shared through the SceneManager (another effect loading the
// same file gets the same scene) and freed by it; the effect never deletes
// it. Effects that draw their own scenes with extra behaviour derive from
// this class and keep its signal table and frame sequence.
//
// Signal 303 (jump to a sample) takes its argument as a sample number: the
// scene shows sample A0 at once and the effect's clock moves so that the
// animation goes on from there.

#include "engine/Effect.h"
#include "math/AnimatedValue.h"
#include "math/Vec3.h"

#include <map>

class Scene;
class SceneObject;

class SceneEffect : public Effect {
public:
    SceneEffect() = default;
    ~SceneEffect() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // Applies the spins, moves, alpha-test animations and the field of view
    // for demo time `time` (ms) at the current scaled local time.
    virtual void applyExtras(int time);

    // Loads (or shares) the scene of `fileName`, textures from
    // "data/textures/". Fatal: "could not load scene: <file>", "no camera in
    // scene: <file>". Gives the scene's flares their sprites.
    void loadScene(const char* fileName);
    Scene* getScene() const { return scene; }

    const std::map<SceneObject*, Vec3>& getSpins() const { return spins; }
    const std::map<SceneObject*, Vec3>& getMoves() const { return moves; }
    const std::map<SceneObject*, AnimatedValue*>& getAlphaAnimations() const { return alphaAnimations; }
    const AnimatedValue& getFovAnimation() const { return fovAnimation; }

protected:
    // Forgets the extras and frees the alpha animations.
    void clearExtras();

    std::map<SceneObject*, Vec3> spins;  // degrees per unit of scaled local time, per axis
    std::map<SceneObject*, Vec3> moves;  // scene units per unit of scaled local time
    std::map<SceneObject*, AnimatedValue*> alphaAnimations; // owned values
    AnimatedValue fovAnimation;          // degrees
    Scene* scene = nullptr;              // shared through the SceneManager; none until signal 50
};
