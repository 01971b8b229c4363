#include "tools/makeprod/ProductionFilterScript.h"

#include "tools/makeprod/ProductionSceneEffects.h"
#include "tools/makeprod/ProductionScript.h"

namespace {

namespace filter {
constexpr int blocks = 40;
constexpr int radialBlur = 41;
constexpr int motionBlur = 42;
constexpr int glow = 43;
constexpr int noise = 44;
} // namespace filter

// The scene effects the filters read.
namespace scene = sceneEffect;

// Filters read the scenes' render target, so they draw after the scenes
// (layer 2); the trails also after the forcefield's additive lines (layer 5),
// which would otherwise be drawn in the blend the trails leave behind; the
// noise film lies over everything but the flash and fade.
constexpr int kFilterLayer = 3;
constexpr int kTrailLayer = 6;
constexpr int kNoiseLayer = 12;

namespace code {
constexpr int source = 70;
constexpr int alpha = 118;
// Motion blur.
constexpr int captureInterval = 90;
constexpr int drawSource = 94;
constexpr int resetHistory = 95;
// Glow.
constexpr int glowCopies = 91;
// Radial blur.
constexpr int radialCopies = 90;
constexpr int radialAlpha = 91;
constexpr int radialStretch = 92;
constexpr int radialRotate = 94;
// Block look.
constexpr int brightness = 90;
constexpr int blockSizes = 91;
// Noise.
constexpr int animated = 90;
constexpr int flashScale = 91;
constexpr int noiseFlash = 402;
// The render target around a scene.
constexpr int shakeShape = 91;
constexpr int shakeStart = 407;
constexpr int turn = 500;
constexpr int turnCentre = 501;
} // namespace code

constexpr int kShakeStart = 110; // 'n': the second argument of 407 that starts the shake

// Runs `f` from `fromMs` to `toMs`, reading `source`. The filter is started
// but not initialised: initialising a filter initialises its source too,
// which would send the scene back to its first frame.
void span(ScriptWriter& s, int f, int source, int fromMs, int toMs)
{
    s.signal(fromMs, f, code::source, {source});
    s.start(fromMs, f);
    s.stop(toMs, f);
}

// A shake of the scene `effect` from `ms`: frequency and amplitude in
// thousandths, for `lengthMs`.
void shake(ScriptWriter& s, int ms, int effect, int frequency, int amplitude, int lengthMs)
{
    s.signal(ms, effect, code::shakeShape, {frequency, amplitude, lengthMs});
    s.signal(ms, effect, code::shakeStart, {ms, kShakeStart});
}

} // namespace

void productionFilters(ScriptWriter& s)
{
    for (int f : {filter::blocks, filter::radialBlur, filter::glow})
        s.setupLayer(f, kFilterLayer);
    s.setupLayer(filter::motionBlur, kTrailLayer);
    s.setupLayer(filter::noise, kNoiseLayer);

    s.timelineComment("filters, groove: the swarm leaves trails");
    span(s, filter::motionBlur, scene::swarm, bar(8), bar(16));
    s.signal(bar(8), filter::motionBlur, code::resetHistory, {0});
    s.signal(bar(8), filter::motionBlur, code::captureInterval, {2});
    s.signal(bar(8), filter::motionBlur, code::drawSource, {0});
    s.signal(bar(8), filter::motionBlur, code::alpha, {140});
    // The trails stretch as the groove gathers pace.
    s.signal(bar(12), filter::motionBlur, code::captureInterval, {3});

    s.timelineComment("filters, theme: the chrome room glows");
    span(s, filter::glow, scene::chrome, bar(16), bar(20));
    s.signal(bar(16), filter::glow, code::alpha, {70});
    s.signal(bar(16), filter::glow, code::glowCopies, {5, -12, 0});

    s.timelineComment("filters, break: the block look");
    span(s, filter::blocks, scene::tree, bar(24), bar(28));
    // One faint layer of blocks over the tree, so that the branches still
    // read through it; a second, coarser one joins for the last bar.
    s.signal(bar(24), filter::blocks, code::brightness, {60});
    s.signal(bar(24), filter::blocks, code::blockSizes, {1, 64, 0, 0});
    s.signal(bar(27), filter::blocks, code::blockSizes, {1, 32, 64, 0});

    s.timelineComment("filters, climax: radial blur turning over the cuts, shakes on the hits");
    const int climaxScenes[] = {scene::hall, scene::chrome, scene::swarm, scene::toon};
    for (int i = 0; i < 4; ++i)
        s.signal(bar(32 + 2 * i), filter::radialBlur, code::source, {climaxScenes[i]});
    s.start(bar(32), filter::radialBlur);
    s.signal(bar(32), filter::radialBlur, code::radialCopies, {4, 8});
    s.signal(bar(32), filter::radialBlur, code::radialAlpha, {45, -45});
    s.signal(bar(32), filter::radialBlur, code::radialStretch, {16, 16});
    s.signal(bar(32), filter::radialBlur, code::radialRotate, {1, 150, 100});
    s.stop(bar(40), filter::radialBlur);
    shake(s, bar(32), scene::hall, 30, 25, 900);
    shake(s, bar(36), scene::swarm, 40, 15, 600);

    s.timelineComment("filters, climax: a noise film flashing on every beat, a turn of the relief");
    s.start(bar(40), filter::noise);
    s.signal(bar(40), filter::noise, code::alpha, {70});
    s.signal(bar(40), filter::noise, code::animated, {1});
    s.signal(bar(40), filter::noise, code::flashScale, {1000});
    for (int b = 40; b < 48; ++b)
        for (int beat = 0; beat < 4; ++beat) {
            int at = bar(b) + beat * kBeatMs;
            s.signal(at, filter::noise, code::noiseFlash, {beat == 0 ? 6 : 4});
            s.signal(at + kBeatMs / 4, filter::noise, code::noiseFlash, {0});
        }
    s.stop(bar(48), filter::noise);
    shake(s, bar(40), scene::relief, 30, 20, 700);
    s.signal(bar(40), scene::relief, code::turnCentre, {50, 50, 0});
    s.signal(bar(41), scene::relief, code::turn, {0, 0, 0, 0, 0, 360, bar(41), bar(1)});
    shake(s, bar(48), scene::hall, 20, 30, 1200);
}
