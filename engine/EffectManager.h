#pragma once
// The registry of effects and the drawing order. Effects are registered under
// ids 0 to 127 and owned here; the 16 layers hold plain references to them (an
// effect may sit on several layers, and several times on one).
//
// One frame's layer pass (renderFrame), running effects only, each layer in
// list order:
//   1. layer 0 renders, before anything else and without matrix protection;
//   2. every layer 0 to 15 gets preRender (filters capture their source here);
//   3. layers 1 to 15 render, each effect inside a push and pop of both the
//      projection and the modelview matrix.
//
// Process-wide singleton, created on first use and deleted by the demo run at
// shutdown after deleteAll.

#include "engine/EffectTimes.h"

#include <vector>

class Effect;

class EffectManager {
public:
    static constexpr int kMaxEffects = 128;
    static constexpr int kLayerCount = 16;

    static EffectManager* instance();
    static void deleteInstance();

    // Ids outside 0..127 are refused with "effectId to high".
    void registerEffect(int id, Effect* effect);
    Effect* findEffect(int id) const;
    void addToLayer(int layer, int id);
    void initAll();
    void stopAll();
    void clearLayers();
    void deleteAll();
    void renderFrame(int time);
    // A frame without drawing: Effect::catchUp(time) of every running effect
    // on a layer, in layer order.
    void catchUp(int time);

    const std::vector<Effect*>& layer(int index) const { return layers[index]; }

    // Debugging: read the GL error state after every render and preRender
    // of the layer pass; an error is fatal with the effect's id and the
    // step ("GL error (...) in: effect 20 render"), so the effect that
    // caused it is named in one run.
    static void setCheckGLAfterEachEffect(bool on) { checkEachEffect = on; }

private:
    int idOf(const Effect* effect) const;
    void checkEffect(const Effect* effect, const char* step) const;
    // One pass of one effect, timed when VP_EFFECT_TIMES is set.
    void runPass(Effect* effect, int time, EffectTimes::Pass pass);
    static bool checkEachEffect;

    EffectManager();
    ~EffectManager();
    EffectManager(const EffectManager&) = delete;
    EffectManager& operator=(const EffectManager&) = delete;

    std::vector<Effect*> layers[kLayerCount];
    Effect* effects[kMaxEffects] = {};
    EffectTimes times;
};
