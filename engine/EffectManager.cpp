#include "engine/EffectManager.h"

#include "engine/Effect.h"
#include "gl/ErrorBox.h"

#include <cstdio>

#include <GL/gl.h>

// Room reserved per layer so that layer assignments during playback do not
// allocate; a script that puts more on one layer still works, it only grows.
static constexpr size_t kLayerCapacity = 64;

static EffectManager* singleton = nullptr;

EffectManager* EffectManager::instance()
{
    if (!singleton)
        singleton = new EffectManager();
    return singleton;
}

void EffectManager::deleteInstance()
{
    delete singleton;
    singleton = nullptr;
}

EffectManager::EffectManager()
{
    for (std::vector<Effect*>& list : layers)
        list.reserve(kLayerCapacity);
}

EffectManager::~EffectManager() = default;

void EffectManager::registerEffect(int id, Effect* effect)
{
    if (id < 0 || id >= kMaxEffects) {
        errorBoxInt("effectId to high", id, false);
        return;
    }
    effects[id] = effect;
}

Effect* EffectManager::findEffect(int id) const
{
    if (id < 0 || id >= kMaxEffects)
        return nullptr;
    return effects[id];
}

void EffectManager::addToLayer(int layer, int id)
{
    // Out-of-range layers (negative ones included) and ids above the table
    // are ignored without a message.
    if (layer < 0 || layer >= kLayerCount || id >= kMaxEffects)
        return;
    Effect* effect = findEffect(id);
    if (!effect) {
        errorBoxInt("effect ID not found", id, false);
        return;
    }
    layers[layer].push_back(effect);
}

void EffectManager::initAll()
{
    for (Effect* effect : effects)
        if (effect)
            effect->init(0);
}

void EffectManager::stopAll()
{
    for (Effect* effect : effects)
        if (effect)
            effect->stop();
}

void EffectManager::clearLayers()
{
    for (std::vector<Effect*>& list : layers)
        list.clear();
}

void EffectManager::deleteAll()
{
    clearLayers();
    for (int id = 0; id < kMaxEffects; ++id) {
        Effect* effect = effects[id];
        if (!effect)
            continue;
        // One object registered under two ids is deleted once.
        for (int later = id + 1; later < kMaxEffects; ++later)
            if (effects[later] == effect)
                effects[later] = nullptr;
        effects[id] = nullptr;
        delete effect;
    }
}

bool EffectManager::checkEachEffect = false;

int EffectManager::idOf(const Effect* effect) const
{
    int id = -1;
    for (int i = 0; i < kMaxEffects; ++i)
        if (effects[i] == effect)
            id = i;
    return id;
}

void EffectManager::checkEffect(const Effect* effect, const char* step) const
{
    char place[64];
    std::snprintf(place, sizeof place, "effect %d %s", idOf(effect), step);
    checkGLError(place);
}

void EffectManager::runPass(Effect* effect, int time, EffectTimes::Pass pass)
{
    times.begin();
    if (pass == EffectTimes::kPreRender)
        effect->preRender(time);
    else
        effect->render(time, true);
    if (times.enabled())
        times.end(time, idOf(effect), pass);
    if (checkEachEffect)
        checkEffect(effect, pass == EffectTimes::kPreRender ? "preRender" : "render");
}

// Lists are walked by index: an effect may add to a layer while it draws
// (an appended entry is then drawn in the same pass).
void EffectManager::catchUp(int time)
{
    for (std::vector<Effect*>& list : layers)
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i]->isRunning())
                list[i]->catchUp(time);
}

void EffectManager::renderFrame(int time)
{
    std::vector<Effect*>& base = layers[0];
    for (size_t i = 0; i < base.size(); ++i)
        if (base[i]->isRunning())
            runPass(base[i], time, EffectTimes::kRender);

    for (std::vector<Effect*>& list : layers)
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i]->isRunning())
                runPass(list[i], time, EffectTimes::kPreRender);

    for (int layer = 1; layer < kLayerCount; ++layer) {
        std::vector<Effect*>& list = layers[layer];
        for (size_t i = 0; i < list.size(); ++i) {
            Effect* effect = list[i];
            if (!effect->isRunning())
                continue;
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glMatrixMode(GL_MODELVIEW);
            glPushMatrix();
            runPass(effect, time, EffectTimes::kRender);
            glMatrixMode(GL_MODELVIEW);
            glPopMatrix();
            glMatrixMode(GL_PROJECTION);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
        }
    }
}
