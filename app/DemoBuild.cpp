#include "app/DemoBuild.h"

#include "engine/DemoEngine.h"
#include "engine/EffectFactory.h"
#include "engine/EffectManager.h"
#include "gl/TextureManager.h"
#include "scene/SceneManager.h"

void buildDemoEffects(DemoEngine& engine, EffectFactory& factory, bool atiShadows)
{
    EffectManager::instance()->deleteAll();
    TextureManager::getInstance()->releaseAll();
    SceneManager::getInstance()->releaseAll();
    // Effects size their rectangles by the viewport they are made under; the
    // last frame left the one of its top-most effect, often a part of the
    // screen.
    engine.fullViewport();
    factory.createEffects(atiShadows);
}
