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

#include <utility>
#include <vector>

class Scene;
class SceneObject;

// A small map from scene object to value, keyed by identity: setting a key
// that is present replaces its value. Entries live in one array reserved up
// front, so the script's signals and the effect's init add and drop entries
// without touching the heap (beyond kReserved objects it grows once).
template <class T>
class ObjectMap {
public:
    static constexpr size_t kReserved = 64;
    using Entry = std::pair<SceneObject*, T>;

    ObjectMap() { entries.reserve(kReserved); }

    T& operator[](SceneObject* key)
    {
        for (Entry& e : entries)
            if (e.first == key)
                return e.second;
        entries.emplace_back(key, T());
        return entries.back().second;
    }
    const T& at(SceneObject* key) const
    {
        for (const Entry& e : entries)
            if (e.first == key)
                return e.second;
        static const T none{};
        return none;
    }
    bool contains(SceneObject* key) const
    {
        for (const Entry& e : entries)
            if (e.first == key)
                return true;
        return false;
    }
    void clear() { entries.clear(); }
    size_t size() const { return entries.size(); }
    bool empty() const { return entries.empty(); }
    typename std::vector<Entry>::iterator begin() { return entries.begin(); }
    typename std::vector<Entry>::iterator end() { return entries.end(); }
    typename std::vector<Entry>::const_iterator begin() const { return entries.begin(); }
    typename std::vector<Entry>::const_iterator end() const { return entries.end(); }

private:
    std::vector<Entry> entries;
};

class SceneEffect : public Effect {
public:
    SceneEffect() = default;
    ~SceneEffect() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();
    // Applies the spins, moves, alpha-test animations and the field of view
    // for demo time `time` (ms) at the current scaled local time.
    virtual void applyExtras(int time);

    // Loads (or shares) the scene of `fileName`, textures from
    // "data/textures/". Fatal: "could not load scene: <file>", "no camera in
    // scene: <file>". Gives the scene's flares their sprites.
    void loadScene(const char* fileName);
    Scene* getScene() const { return scene; }

    const ObjectMap<Vec3>& getSpins() const { return spins; }
    const ObjectMap<Vec3>& getMoves() const { return moves; }
    const ObjectMap<AnimatedValue>& getAlphaAnimations() const { return alphaAnimations; }
    const AnimatedValue& getFovAnimation() const { return fovAnimation; }

protected:
    // Forgets the extras.
    void clearExtras();

    ObjectMap<Vec3> spins;               // degrees per unit of scaled local time, per axis
    ObjectMap<Vec3> moves;               // scene units per unit of scaled local time
    ObjectMap<AnimatedValue> alphaAnimations; // alpha-test reference of the object's material
    AnimatedValue fovAnimation;          // degrees
    Scene* scene = nullptr;              // shared through the SceneManager; none until signal 50
};
