#include "tools/makeprod/ProductionShadowScript.h"

#include "tools/makeprod/ProductionSceneEffects.h"
#include "tools/makeprod/ProductionScript.h"

namespace {

namespace id = sceneEffect;

constexpr int kSceneLayer = 2;

namespace code {
constexpr int load = 50;
constexpr int fieldOfView = 250;
constexpr int fovMove = 254;
constexpr int selectObject = 255;
constexpr int spin = 256;
constexpr int looping = 304;
constexpr int shadowMaps = 310;
constexpr int projectorShadows = 311;
constexpr int toggleShadowMaps = 312;
constexpr int camera = 407;
} // namespace code

void camera(ScriptWriter& s, int ms, int effect, char digit)
{
    s.signal(ms, effect, code::camera, {0, digit});
}

} // namespace

void shadowScenesScript(ScriptWriter& s)
{
    s.setupLayer(id::shadow, kSceneLayer);
    s.setupText(id::shadow, code::load, "data/shadow.vsc");
    s.setupSignal(id::shadow, code::looping, 1);
    s.setupLayer(id::projector, kSceneLayer);
    s.setupText(id::projector, code::load, "data/projector.vsc");
    s.setupSignal(id::projector, code::looping, 1);
    s.setupSignal(id::projector, code::projectorShadows, 1);

    s.timelineComment("scenes, theme: the stage under Spot01, crates and balls casting shadows");
    // The chrome room stops at bar 20 (ProductionSceneScript.cpp).
    s.start(bar(20), id::shadow);
    s.init(bar(20), id::shadow);
    s.signal(bar(20), id::shadow, code::shadowMaps, {1});
    s.text(bar(20), id::shadow, code::selectObject, "Knot");
    s.signal(bar(20), id::shadow, code::spin, {900, 1500, 0});
    // A slow push in over each half, on the theme's beat.
    s.signal(bar(20), id::shadow, code::fieldOfView, {50});
    s.signal(bar(20), id::shadow, code::fovMove, {42, bar(20), bar(2), 2});
    camera(s, bar(22), id::shadow, '2');
    s.signal(bar(22), id::shadow, code::fieldOfView, {50});
    s.signal(bar(22), id::shadow, code::fovMove, {40, bar(22), bar(2), 2});
    // The shadows drop out for the last beat but one, and come back.
    s.signal(bar(23) + 2 * kBeatMs, id::shadow, code::toggleShadowMaps, {});
    s.signal(bar(23) + 3 * kBeatMs, id::shadow, code::toggleShadowMaps, {});
    s.stop(bar(24), id::shadow);

    s.timelineComment("scenes, climax: the projector's rose sweeping over the columns");
    // Started and stopped by the climax cuts (ProductionSceneScript.cpp).
    s.text(bar(42), id::projector, code::selectObject, "Ring");
    s.signal(bar(42), id::projector, code::spin, {300, 1500, 0});
}
