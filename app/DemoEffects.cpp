#include "app/DemoEffects.h"

#include "effects/AnsiFilter.h"
#include "effects/EffectSwitcher.h"
#include "effects/Forcefield.h"
#include "effects/GeoSphereDeform.h"
#include "effects/GlowFilter.h"
#include "effects/InvertFlash.h"
#include "effects/KeyControl.h"
#include "effects/MotionBlurFilter.h"
#include "effects/NoiseFilter.h"
#include "effects/ObjectPulse.h"
#include "effects/RadialBlurFilter.h"
#include "effects/RenderTargetLayer.h"
#include "effects/Tree.h"
#include "engine/ClearScreen.h"
#include "engine/EffectManager.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "engine/ScreenFade.h"
#include "gl/GLExtensions.h"
#include "scene/SceneEffect.h"

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
    {0, make<ClearScreen>, false, &ClearScreen::signals},
    {1, make<KeyControl>, false, &KeyControl::signals},
    {3, make<PatternTrigger>, false, &PatternTrigger::signals},
    {6, make<Forcefield>, false, &Forcefield::signals},
    // The mesh deformers play their scenes through the shared render target.
    {10, make<GeoSphereDeform>, true, &GeoSphereDeform::signals},
    {11, make<ObjectPulse>, true, &ObjectPulse::signals},
    {12, make<PatternTrigger>, false, &PatternTrigger::signals},
    {13, make<PatternTrigger>, false, &PatternTrigger::signals},
    {14, make<PatternTrigger>, false, &PatternTrigger::signals},
    // The scene players, drawn through the shared render target; each loads
    // its scene when the script's setup sends it signal 50.
    {20, make<SceneEffect>, true, &SceneEffect::signals},
    {21, make<SceneEffect>, true, &SceneEffect::signals},
    {22, make<SceneEffect>, true, &SceneEffect::signals},
    {23, make<SceneEffect>, true, &SceneEffect::signals},
    {24, make<SceneEffect>, true, &SceneEffect::signals},
    {25, make<SceneEffect>, true, &SceneEffect::signals},
    {26, make<SceneEffect>, true, &SceneEffect::signals},
    {27, make<SceneEffect>, true, &SceneEffect::signals},
    {28, make<SceneEffect>, true, &SceneEffect::signals},
    {29, make<SceneEffect>, true, &SceneEffect::signals},
    {30, make<SceneEffect>, true, &SceneEffect::signals},
    {32, make<GeoSphereDeform>, true, &GeoSphereDeform::signals},
    {33, make<GeoSphereDeform>, true, &GeoSphereDeform::signals},
    // The tree grows on its scene's spheres.
    {80, make<Tree>, true, &Tree::signals},
    {40, make<AnsiFilter>, false, &AnsiFilter::signals},
    {41, make<RadialBlurFilter>, false, &RadialBlurFilter::signals},
    {42, make<MotionBlurFilter>, false, &MotionBlurFilter::signals},
    {43, make<GlowFilter>, false, &GlowFilter::signals},
    {44, make<NoiseFilter>, false, &NoiseFilter::signals},
    {50, make<EffectSwitcher>, false, &EffectSwitcher::signals},
    {61, make<InvertFlash>, false, &InvertFlash::signals},
    {62, make<ScreenFade>, false, &ScreenFade::signals},
    {63, make<FlashOverlay>, false, &FlashOverlay::signals},
};

const DemoEffects::Entry* DemoEffects::table(int& count)
{
    count = static_cast<int>(std::size(kEffects));
    return kEffects;
}

bool DemoEffects::wrapsInRenderTarget(bool atiShadows, bool depthRenderTexture)
{
    return !atiShadows || depthRenderTexture;
}

Effect* DemoEffects::build(const Entry& entry, bool wrap)
{
    Effect* effect = entry.create();
    if (!effect || !entry.wrapped || !wrap)
        return effect;
    // The wrapper owns the effect and is registered in its place.
    Effect* wrapper = new (std::nothrow) RenderTargetLayer(effect);
    if (!wrapper)
        delete effect;
    return wrapper;
}

void DemoEffects::createEffects(bool atiShadows)
{
    const bool wrap = wrapsInRenderTarget(atiShadows, isExtensionSupported("WGL_NV_render_depth_texture"));
    EffectManager* manager = EffectManager::instance();
    for (const Entry& entry : kEffects)
        manager->registerEffect(entry.id, build(entry, wrap));
}
