#include "tools/makeprod/ProductionScript.h"

// Effect ids of the engine's registry.
namespace id {
constexpr int clear = 0;
constexpr int beatTrigger = 3;  // PatternTrigger driving the flash on the beat
constexpr int barTrigger = 12;  // PatternTrigger driving the flash on the bar
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
constexpr int flashOnce = 1;
constexpr int flashRunning = 8;
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

void flashStyle(ScriptWriter& s, int ms, Rgb c, int unitMs)
{
    s.signal(ms, id::flash, sig::colour, {c.r, c.g, c.b});
    s.signal(ms, id::flash, sig::speed, {unitMs});
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

    const Rgb night = {4, 6, 20};
    const Rgb indigo = {30, 18, 70};
    const Rgb teal = {0, 70, 80};
    const Rgb ember = {90, 20, 10};
    const Rgb gold = {200, 140, 30};
    const Rgb black = {0, 0, 0};

    s.timelineComment("intro: the picture rises out of black, a soft pulse on every bar");
    s.start(0, id::clear);
    s.start(0, id::fade);
    s.init(0, id::fade);
    s.signal(0, id::fade, sig::fadeInOver, {bar(2)});
    clearRamp(s, 0, 8, night, indigo);
    s.start(0, id::flash);
    s.signal(0, id::flash, sig::flashRunning, {0});
    flashStyle(s, 0, {60, 50, 120}, 300);
    s.start(0, id::barTrigger);
    s.init(0, id::barTrigger);

    s.timelineComment("groove: kick and clap on the beat");
    s.stop(bar(8), id::barTrigger);
    flashStyle(s, bar(8), {120, 80, 200}, 160);
    beatPattern(s, bar(8), "1010");
    s.start(bar(8), id::beatTrigger);
    s.init(bar(8), id::beatTrigger);
    clearRamp(s, 8, 8, indigo, teal);

    s.timelineComment("theme: every beat");
    flashStyle(s, bar(16), {80, 220, 200}, 120);
    beatPattern(s, bar(16), "1111");
    s.init(bar(16), id::beatTrigger);

    s.timelineComment("break: quiet, the beat flash stops");
    s.stop(bar(24), id::beatTrigger);
    clearRamp(s, 24, 4, teal, black);

    s.timelineComment("build: the pulse returns, faster and warmer");
    flashStyle(s, bar(28), {200, 60, 20}, 100);
    beatPattern(s, bar(28), "1000");
    s.start(bar(28), id::beatTrigger);
    s.init(bar(28), id::beatTrigger);
    beatPattern(s, bar(30), "1010");
    clearRamp(s, 28, 4, black, ember);

    s.timelineComment("climax: a white hit, then gold on every beat");
    s.signal(bar(32), id::flash, sig::colour, {255, 255, 255});
    s.signal(bar(32), id::flash, sig::speed, {700});
    s.signal(bar(32), id::flash, sig::flashOnce, {0});
    s.stop(bar(32), id::beatTrigger);
    s.start(bar(32) + kBeatMs * 2, id::beatTrigger);
    s.init(bar(32) + kBeatMs * 2, id::beatTrigger);
    s.signal(bar(32) + kBeatMs * 2, id::flash, sig::flashRunning, {0});
    flashStyle(s, bar(32) + kBeatMs * 2, gold, 140);
    beatPattern(s, bar(32) + kBeatMs * 2, "1111");
    clearRamp(s, 32, 8, ember, {60, 30, 90});
    clearRamp(s, 40, 8, {60, 30, 90}, ember);

    s.timelineComment("outro and fade");
    beatPattern(s, bar(48), "1000");
    flashStyle(s, bar(48), {120, 60, 40}, 200);
    clearRamp(s, 48, 8, ember, night);
    s.stop(bar(52), id::beatTrigger);
    s.init(bar(55), id::fade);
    s.signal(bar(55), id::fade, sig::fadeToBlackOver, {bar(2)});
    s.endDemo(kEndMs);
    return s;
}
