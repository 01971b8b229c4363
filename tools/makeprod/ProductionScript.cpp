#include "tools/makeprod/ProductionScript.h"
#include "tools/makeprod/GeneratedEffectsScript.h"
#include "tools/makeprod/ProductionFilterScript.h"
#include "tools/makeprod/ProductionSceneScript.h"
#include "tools/makeprod/ProductionShadowScript.h"

// Effect ids of the engine's registry.
namespace id {
constexpr int clear = 0;
constexpr int beatTrigger = 3;  // PatternTrigger driving the flash on the beat
constexpr int barTrigger = 12;  // PatternTrigger driving the flash on the bar
constexpr int buildTrigger = 13; // PatternTrigger driving the flash on the build's eighths
constexpr int stageTrigger = 14; // PatternTrigger driving the invert flash on the stage's off-beat eighths
constexpr int invert = 61;      // InvertFlash
constexpr int fade = 62;        // ScreenFade
constexpr int flash = 63;       // FlashOverlay
} // namespace id

// Signal codes shared by every effect, and those of the utility effects.
namespace sig {
constexpr int speed = 10;
constexpr int source = 70;
constexpr int colour = 200;        // red, green, blue (0-255)
constexpr int patternStep = 405;   // step length in ms
constexpr int pattern = 406;       // text "p<digits>"
constexpr int flashAndStay = 8;  // a flash after which the overlay stays running, unseen
constexpr int fadeToBlackOver = 6; // over A0 ms from the fade's init
constexpr int fadeInOver = 7;
} // namespace sig

namespace {

struct Rgb {
    int r, g, b;
};

Rgb mix(Rgb a, Rgb b, int num, int den)
{
    return {a.r + (b.r - a.r) * num / den, a.g + (b.g - a.g) * num / den, a.b + (b.b - a.b) * num / den};
}

void clearColour(ScriptWriter& s, int ms, Rgb c)
{
    s.signal(ms, id::clear, sig::colour, {c.r, c.g, c.b});
}

// Moves the clear colour from `from` to `to` in one step per beat over the bars.
void clearRamp(ScriptWriter& s, int firstBar, int bars, Rgb from, Rgb to)
{
    int steps = bars * 4;
    for (int i = 0; i <= steps; ++i)
        clearColour(s, bar(firstBar) + i * kBeatMs, mix(from, to, i, steps));
}

// The flash length unit: a pattern digit times this many ms.
void flashUnit(ScriptWriter& s, int ms, int unitMs)
{
    s.signal(ms, id::flash, sig::speed, {unitMs});
}

// One coloured flash at ms lasting lengthMs. The flash's init resets its
// colour to white, so the colour follows the init. The overlay keeps running
// after it (a single flash would stop it), so that the pattern triggers'
// flashes later on are seen: a stopped overlay ignores them.
void colourFlash(ScriptWriter& s, int ms, Rgb c, int lengthMs)
{
    s.init(ms, id::flash);
    s.signal(ms, id::flash, sig::speed, {lengthMs});
    s.signal(ms, id::flash, sig::colour, {c.r, c.g, c.b});
    s.signal(ms, id::flash, sig::flashAndStay, {0});
}

// A coloured flash on the given beats (a string of '1' and '0' per beat) of
// every bar in [firstBar, firstBar + bars).
void beatFlashes(ScriptWriter& s, int firstBar, int bars, const char* beats, Rgb c, int lengthMs)
{
    for (int b = firstBar; b < firstBar + bars; ++b)
        for (int i = 0; beats[i]; ++i)
            if (beats[i] == '1')
                colourFlash(s, bar(b) + i * kBeatMs, c, lengthMs);
}

// The screen fade starts at ms; its init turns it white, so it is made black again.
void fade(ScriptWriter& s, int ms, int code, int durationMs)
{
    s.init(ms, id::fade);
    s.signal(ms, id::fade, sig::colour, {0, 0, 0});
    s.signal(ms, id::fade, code, {durationMs});
}

void beatPattern(ScriptWriter& s, int ms, const char* pattern)
{
    s.text(ms, id::beatTrigger, sig::pattern, std::string("p") + pattern);
}

} // namespace

ScriptWriter productionScript()
{
    ScriptWriter s;
    s.comment("Velmor Process - the sample production");
    s.comment("125 BPM: a beat is 480 ms, a bar 1920 ms; sections follow the soundtrack");
    s.define("BAR", kBarMs);
    s.define("BEAT", kBeatMs);

    // Layers: the clear first, then the rhythm, the flash and the fade on top.
    s.setupLayer(id::clear, 0);
    s.setupLayer(id::beatTrigger, 1);
    s.setupLayer(id::barTrigger, 1);
    s.setupLayer(id::flash, 14);
    s.setupLayer(id::fade, 15);
    // The triggers drive the flash; their step lengths and sources survive init.
    s.setupSignal(id::beatTrigger, sig::source, id::flash);
    s.setupSignal(id::beatTrigger, sig::patternStep, kBeatMs);
    s.setupSignal(id::barTrigger, sig::source, id::flash);
    s.setupSignal(id::barTrigger, sig::patternStep, kBarMs);
    s.setupText(id::barTrigger, sig::pattern, "p1");
    s.setupLayer(id::buildTrigger, 1);
    s.setupSignal(id::buildTrigger, sig::source, id::flash);
    s.setupSignal(id::buildTrigger, sig::patternStep, kBeatMs / 2);
    s.setupLayer(id::stageTrigger, 1);
    s.setupSignal(id::stageTrigger, sig::source, id::invert);
    s.setupSignal(id::stageTrigger, sig::patternStep, kBeatMs / 2);
    s.setupText(id::stageTrigger, sig::pattern, "p00010001");

    const Rgb night = {4, 6, 20};
    const Rgb indigo = {30, 18, 70};
    const Rgb teal = {0, 70, 80};
    const Rgb ember = {90, 20, 10};
    const Rgb black = {0, 0, 0};

    s.timelineComment("intro: the picture rises out of black, a pulse on every bar");
    s.start(0, id::clear);
    s.start(0, id::fade);
    fade(s, 0, sig::fadeInOver, bar(2));
    clearRamp(s, 0, 8, night, indigo);
    s.start(0, id::flash);
    beatFlashes(s, 0, 4, "1000", {40, 36, 110}, 900);
    beatFlashes(s, 4, 4, "1010", {50, 40, 130}, 500);

    s.timelineComment("groove: a white tick from the bar trigger on every bar");
    flashUnit(s, bar(8), 110);
    s.start(bar(8), id::barTrigger);
    s.init(bar(8), id::barTrigger);
    clearRamp(s, 8, 8, indigo, teal);

    s.timelineComment("theme: coloured pulses on every beat");
    s.stop(bar(16), id::barTrigger);
    beatFlashes(s, 16, 4, "1111", {40, 170, 170}, 300);
    beatFlashes(s, 20, 4, "1010", {40, 170, 170}, 300);
    clearRamp(s, 16, 8, teal, {10, 110, 120});
    // The stage's second half: the colour pulses halve and the picture turns
    // over on the eighths between them.
    s.start(bar(20), id::stageTrigger);
    s.init(bar(20), id::stageTrigger);
    s.stop(bar(24), id::stageTrigger);

    s.timelineComment("break: quiet, slow teal breaths behind the tree");
    s.stop(bar(24), id::beatTrigger);
    // The breaths are in the clear colour, not the flash, so the tree
    // stays in full view: teal on each bar, ebbing to near black by its end.
    for (int b = 24; b < 28; ++b)
        for (int beat = 0; beat < 4; ++beat)
            clearColour(s, bar(b) + beat * kBeatMs, mix({0, 70, 80}, {0, 10, 14}, beat, 3));

    s.timelineComment("build: white ticks on the eighths, growing denser and longer");
    // A pattern digit is the tick's length in units of 60 ms.
    flashUnit(s, bar(28), 60);
    s.text(bar(28), id::buildTrigger, sig::pattern, "p20002000");
    s.start(bar(28), id::buildTrigger);
    s.init(bar(28), id::buildTrigger);
    s.text(bar(30), id::buildTrigger, sig::pattern, "p20202020");
    s.text(bar(31), id::buildTrigger, sig::pattern, "p32323232");
    s.stop(bar(32), id::buildTrigger);
    clearRamp(s, 28, 4, black, ember);

    s.timelineComment("climax: a white hit, then the beat trigger strobes on every beat");
    colourFlash(s, bar(32), {255, 255, 255}, 900);
    flashUnit(s, bar(33), 120);
    beatPattern(s, bar(33), "1111");
    s.start(bar(33), id::beatTrigger);
    s.init(bar(33), id::beatTrigger);
    beatPattern(s, bar(40), "1011");
    clearRamp(s, 32, 8, ember, {60, 30, 90});
    clearRamp(s, 40, 8, {60, 30, 90}, ember);

    s.timelineComment("outro and fade");
    s.stop(bar(48), id::beatTrigger);
    beatFlashes(s, 48, 4, "1010", {120, 60, 40}, 400);
    beatFlashes(s, 52, 4, "1000", {60, 30, 60}, 900);
    clearRamp(s, 48, 8, ember, night);
    fade(s, bar(55), sig::fadeToBlackOver, bar(2));
    productionScenes(s);
    generatedEffectsScript(s);
    shadowScenesScript(s);
    productionFilters(s);
    s.endDemo(kEndMs);
    return s;
}
