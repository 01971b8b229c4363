#include "tools/makeprod/ProductionSceneScript.h"

#include "tools/makeprod/ProductionSceneEffects.h"
#include "tools/makeprod/ProductionScript.h"

#include <string>

namespace {

// The scene effects; the scene each loads is named where it starts.
namespace scene = sceneEffect;

constexpr int kSceneLayer = 2;

// Scene effect signal codes.
namespace code {
constexpr int load = 50;
constexpr int toon = 230;
constexpr int fog = 232;
constexpr int fogColour = 233;
constexpr int fogRange = 235;
constexpr int fogMode = 236;
constexpr int fieldOfView = 250;
constexpr int fovMove = 254;
constexpr int selectObject = 255;
constexpr int spin = 256;
constexpr int move = 257;
constexpr int opacity = 258;
constexpr int visible = 259;
constexpr int parameters = 263;
constexpr int selectLight = 280;
constexpr int flicker = 287;
constexpr int looping = 304;
constexpr int camera = 407;
// The mesh deformers.
constexpr int deformMesh = 90;
constexpr int deformWave = 91;
constexpr int deformAxes = 92;
constexpr int deformRadii = 93;
constexpr int deformSpeed = 94;
} // namespace code

constexpr int kLinearFog = 3;

// Shows `effect` from ms on, from its first frame, in place of `previous`.
void cut(ScriptWriter& s, int ms, int effect, int previous)
{
    if (previous >= 0)
        s.stop(ms, previous);
    s.start(ms, effect);
    s.init(ms, effect);
}

// Camera0<digit> of the effect's scene.
void camera(ScriptWriter& s, int ms, int effect, char digit)
{
    s.signal(ms, effect, code::camera, {0, digit});
}

void spin(ScriptWriter& s, int ms, int effect, const char* object, int x, int y, int z)
{
    s.text(ms, effect, code::selectObject, object);
    s.signal(ms, effect, code::spin, {x, y, z});
}

// A zoom punch on every beat of the bars: in by `depth` degrees at the beat,
// back out over the rest of it.
void zoomPunches(ScriptWriter& s, int effect, int firstBar, int bars, int fov, int depth)
{
    for (int b = firstBar; b < firstBar + bars; ++b)
        for (int beat = 0; beat < 4; ++beat) {
            int at = bar(b) + beat * kBeatMs;
            s.signal(at, effect, code::fovMove, {fov - depth, at, 60, 1});
            s.signal(at + 60, effect, code::fovMove, {fov, at + 60, kBeatMs - 120, 3});
        }
}

// Linear fog of one colour from start to end (scene units from the eye).
void fog(ScriptWriter& s, int ms, int effect, int r, int g, int b, int start, int end)
{
    s.signal(ms, effect, code::fog, {1});
    s.signal(ms, effect, code::fogColour, {r, g, b});
    s.signal(ms, effect, code::fogMode, {kLinearFog});
    s.signal(ms, effect, code::fogRange, {start, end});
}

} // namespace

void productionScenes(ScriptWriter& s)
{
    // Load every scene once, in setup; the toon figures (Figure01 and every
    // later sibling) shade with the ramp from the start, the hall's cold
    // light flickers throughout.
    const struct {
        int effect;
        const char* file;
    } scenes[] = {
        {scene::hall, "data/hall.vsc"},     {scene::swarm, "data/swarm.vsc"},
        {scene::chrome, "data/chrome.vsc"}, {scene::toon, "data/toon.vsc"},
        {scene::relief, "data/relief.vsc"},
        // The imported models; each wobbling copy plays the same file.
        {scene::duck, "data/duck.vsc"},     {scene::engine, "data/engine.vsc"},
        {scene::spider, "data/spider.vsc"}, {scene::teapots, "data/teapots.vsc"},
        {scene::duckWobble, "data/duck.vsc"}, {scene::teapotWobble, "data/teapots.vsc"},
    };
    for (const auto& sc : scenes) {
        s.setupLayer(sc.effect, kSceneLayer);
        s.setupText(sc.effect, code::load, sc.file);
    }
    s.setupSignal(scene::toon, code::toon, 101);
    s.setupText(scene::hall, code::selectLight, "Flicker01");
    s.setupSignal(scene::hall, code::flicker, 1);
    s.setupSignal(scene::chrome, code::looping, 1);
    s.setupSignal(scene::swarm, code::looping, 1);

    s.timelineComment("scenes, intro: down the hall of pillars through the fog");
    cut(s, 0, scene::hall, -1);
    fog(s, 0, scene::hall, 20, 14, 50, 60, 520);
    spin(s, 0, scene::hall, "Crate01", 0, 1500, 400);
    spin(s, 0, scene::hall, "Crate03", 900, 0, 1200);
    for (int b = 4; b < 8; ++b) {
        // The far crates fade on the off beats.
        s.text(bar(b) + kBeatMs, scene::hall, code::selectObject, "Crate04");
        s.signal(bar(b) + kBeatMs, scene::hall, code::opacity, {45});
        s.signal(bar(b) + 2 * kBeatMs, scene::hall, code::opacity, {100});
    }

    s.timelineComment("scenes, groove: the swarm round the glowing ring");
    cut(s, bar(8), scene::swarm, scene::hall);
    spin(s, bar(8), scene::swarm, "Ring", 0, 0, 2400);
    s.text(bar(8), scene::swarm, code::selectObject, "Swarm01");
    s.signal(bar(8), scene::swarm, code::parameters, {0, 1200});
    camera(s, bar(12), scene::swarm, '2');
    camera(s, bar(14), scene::swarm, '1');

    s.timelineComment("scenes, theme: the chrome room, a zoom on every beat");
    cut(s, bar(16), scene::chrome, scene::swarm);
    spin(s, bar(16), scene::chrome, "ChromeRing", 600, 2000, 0);
    zoomPunches(s, scene::chrome, 16, 4, 50, 6);
    camera(s, bar(18), scene::chrome, '2');
    camera(s, bar(19), scene::chrome, '1');
    // The spotlight stage (scene effect 25) takes the theme's second half.
    s.stop(bar(20), scene::chrome);

    s.timelineComment("scenes, break and build: the generated effects play (GeneratedEffectsScript.cpp)");

    s.timelineComment("scenes, climax: a cut every two bars, then the imported models one a bar");
    // Camera digit 0: the scene's own view (the imported models bring one).
    // The wobbling copies take over their model on the bar's third beat.
    const struct {
        int ms;
        int effect;
        char cameraDigit;
    } cuts[] = {
        {bar(32), scene::hall, '3'},
        {bar(34), scene::chrome, '1'},
        {bar(36), scene::swarm, '2'},
        {bar(38), scene::toon, '2'},
        {bar(40), scene::relief, '2'},
        {bar(42), scene::projector, '1'},
        {bar(44), scene::duck, 0},
        {bar(44) + 2 * kBeatMs, scene::duckWobble, 0},
        {bar(45), scene::engine, 0},
        {bar(46), scene::spider, 0},
        {bar(47), scene::teapots, 0},
        {bar(47) + 2 * kBeatMs, scene::teapotWobble, 0},
    };
    int previous = scene::relief;
    for (const auto& c : cuts) {
        cut(s, c.ms, c.effect, previous);
        if (c.cameraDigit)
            camera(s, c.ms, c.effect, c.cameraDigit);
        previous = c.effect;
    }
    fog(s, bar(32), scene::hall, 60, 20, 20, 60, 600);
    spin(s, bar(32), scene::hall, "Crate02", 2000, 0, 0);
    zoomPunches(s, scene::chrome, 34, 2, 65, 10);
    s.signal(bar(36), scene::swarm, code::parameters, {0, 2000});
    s.signal(bar(40), scene::relief, code::fieldOfView, {50});
    zoomPunches(s, scene::relief, 40, 2, 50, 8);
    spin(s, bar(38), scene::toon, "Knot", 1200, 0, 0);
    // The duck turns and then goes to jelly on the beat; the earth-clad
    // teapot ripples on the half beats. Radius limits far outside the models.
    spin(s, bar(44), scene::duck, "LOD3sp", 0, 1800, 0);
    spin(s, bar(47), scene::teapots, "Teapot01", 0, 1400, 0);
    // The imported views frame their whole model loosely: closer in.
    s.signal(bar(44), scene::duck, code::fieldOfView, {26});
    s.signal(bar(44) + 2 * kBeatMs, scene::duckWobble, code::fieldOfView, {26});
    s.signal(bar(46), scene::spider, code::fieldOfView, {24});
    s.signal(bar(47) + 2 * kBeatMs, scene::teapotWobble, code::fieldOfView, {28});
    s.signal(bar(47), scene::teapots, code::fieldOfView, {28});
    const struct {
        int effect;
        const char* mesh;
        int amplitude, wavelength;
        int kx, ky, kz;
        int msPerCycle;
    } wobbles[] = {
        {scene::duckWobble, "LOD3sp", 14, 150, 150, 60, 120, kBeatMs},
        {scene::teapotWobble, "Teapot01", 8, 45, 80, 160, 100, kBeatMs / 2},
    };
    // In setup: the deformer finds its mesh when it is first initialised.
    for (const auto& w : wobbles) {
        s.setupText(w.effect, code::deformMesh, w.mesh);
        s.setupSignal(w.effect, code::deformSpeed, w.msPerCycle * 100);
        s.signal(0, w.effect, code::deformWave, {w.amplitude, w.wavelength});
        s.signal(0, w.effect, code::deformAxes, {w.kx, w.ky, w.kz});
        s.signal(0, w.effect, code::deformRadii, {2000, 0});
    }

    s.timelineComment("scenes, outro: back in the hall, the fog closing in");
    cut(s, bar(48), scene::hall, previous);
    camera(s, bar(48), scene::hall, '2');
    for (int b = 48; b < 56; ++b)
        fog(s, bar(b), scene::hall, 16, 10, 30, 40, 600 - (b - 48) * 60);
    s.stop(kEndMs - 1, scene::hall);
}
