#include "app/DemoEffects.h"

#include "effects/EffectSwitcher.h"
#include "effects/Forcefield.h"
#include "effects/KeyControl.h"
#include "engine/ClearScreen.h"
#include "engine/EffectManager.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "engine/ScreenFade.h"
#include "scene/SceneEffect.h"

#include <cassert>
#include <iterator>
#include <new>

template <class T>
static Effect* make()
{
    // A failed allocation registers a null pointer: the script then drops the
    // events of that id.
    return new (std::nothrow) T();
}

// One line per effect, in construction order.
static const DemoEffects::Entry kEffects[] = {
    {0, make<ClearScreen>, false},
    {1, make<KeyControl>, false},
    {3, make<PatternTrigger>, false},
    {6, make<Forcefield>, false},
    {12, make<PatternTrigger>, false},
    {13, make<PatternTrigger>, false},
    {14, make<PatternTrigger>, false},
    // The scene players; each loads its scene when the script's setup sends it signal 50.
    {20, make<SceneEffect>, false},
    {21, make<SceneEffect>, false},
    {22, make<SceneEffect>, false},
    {23, make<SceneEffect>, false},
    {24, make<SceneEffect>, false},
    {25, make<SceneEffect>, false},
    {26, make<SceneEffect>, false},
    {27, make<SceneEffect>, false},
    {28, make<SceneEffect>, false},
    {29, make<SceneEffect>, false},
    {30, make<SceneEffect>, false},
    {50, make<EffectSwitcher>, false},
    {62, make<ScreenFade>, false},
    {63, make<FlashOverlay>, false},
};

const DemoEffects::Entry* DemoEffects::table(int& count)
{
    count = static_cast<int>(std::size(kEffects));
    return kEffects;
}

void DemoEffects::createEffects(bool /*atiShadows*/)
{
    EffectManager* manager = EffectManager::instance();
    for (const Entry& entry : kEffects) {
        // No wrapped effect is built yet: the render-target wrapper and the
        // scene effects it carries come with the scene subsystem.
        assert(!entry.wrapped);
        manager->registerEffect(entry.id, entry.create());
    }
}
