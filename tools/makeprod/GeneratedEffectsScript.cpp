#include "tools/makeprod/GeneratedEffectsScript.h"

#include "tools/makeprod/ProductionScript.h"

#include <string>

namespace {

namespace id {
constexpr int keys = 1;
constexpr int forcefield = 6;
constexpr int geosphere = 10;
constexpr int pulse = 11;
constexpr int switcher = 50;
constexpr int invert = 61;
constexpr int tree = 80;
} // namespace id

namespace layer {
constexpr int keys = 1;
constexpr int scenes = 2;
constexpr int forcefield = 5;
constexpr int switcher = 10;
constexpr int invert = 13;
} // namespace layer

// Signals shared by every effect.
namespace code {
constexpr int load = 50;
constexpr int looping = 304;
constexpr int alpha = 100;        // blending on, alpha (0-255)
constexpr int alphaMove = 124;    // to alpha, start (ms after the signal), over ms
constexpr int blendFactors = 204; // source, destination factor codes
constexpr int rectangle = 202;    // x, y, width, height in percent
constexpr int rectangleMove = 203;
constexpr int selectObject = 255;
constexpr int spin = 256;
} // namespace code

constexpr int kSrcAlpha = 12;
constexpr int kOne = 10;

// The switcher's own codes and those of its image layers.
namespace layerCode {
constexpr int startLayer = 97;
constexpr int stopLayer = 98;
constexpr int select = 99;
constexpr int next = 30;
constexpr int append = 31;
constexpr int fullTexture = 90;
constexpr int show = 110;
constexpr int rotation = 212;
} // namespace layerCode

std::string texture(const char* name)
{
    return std::string("data/textures/") + name;
}

// Selects image layer `index` of the switcher at ms.
void select(ScriptWriter& s, int ms, int index)
{
    s.signal(ms, id::switcher, layerCode::select, {index});
}

// An additive picture fading in over `fadeMs`.
void additive(ScriptWriter& s, int ms, int fadeMs, int alpha)
{
    s.signal(ms, id::switcher, code::alpha, {0});
    s.signal(ms, id::switcher, code::blendFactors, {kSrcAlpha, kOne});
    s.signal(ms, id::switcher, code::alphaMove, {alpha, 0, fadeMs});
}

void fadeOut(ScriptWriter& s, int ms, int index, int fadeMs)
{
    select(s, ms, index);
    s.signal(ms, id::switcher, code::alphaMove, {0, 0, fadeMs});
}

void keyControl(ScriptWriter& s)
{
    s.setupLayer(id::keys, layer::keys);
    s.start(0, id::keys);
}

void titles(ScriptWriter& s)
{
    s.setupLayer(id::switcher, layer::switcher);
    s.timelineComment("titles: the emblem turning and the name revealed over the opening bars");
    s.start(0, id::switcher);
    // Layer 0: the emblem, spinning slowly in the middle.
    select(s, 0, 0);
    s.signal(0, id::switcher, layerCode::startLayer, {0});
    s.text(0, id::switcher, layerCode::show, texture("vp_emblem.png"));
    s.signal(0, id::switcher, code::rectangle, {38, 14, 24, 32});
    s.signal(0, id::switcher, layerCode::rotation, {0, 0, 8});
    additive(s, 0, bar(1), 230);
    // Layer 1: the title, uncovered from the left from the second bar.
    select(s, 0, 1);
    s.signal(0, id::switcher, layerCode::startLayer, {0});
    s.text(0, id::switcher, layerCode::show, texture("vp_title.png"));
    s.signal(0, id::switcher, layerCode::fullTexture, {0});
    s.signal(0, id::switcher, code::rectangle, {10, 56, 0, 20});
    s.signal(0, id::switcher, code::rectangleMove, {10, 56, 80, 20, bar(1), bar(1) + 2 * kBeatMs});
    s.signal(0, id::switcher, code::alpha, {255});
    s.signal(0, id::switcher, code::blendFactors, {kSrcAlpha, kOne});
    fadeOut(s, bar(3), 0, bar(1));
    fadeOut(s, bar(3), 1, bar(1));
    for (int index : {0, 1}) {
        select(s, bar(4), index);
        s.signal(bar(4), id::switcher, layerCode::stopLayer, {0});
    }

    s.timelineComment("credits: one card every two bars, neon shapes on the beat, the emblem again");
    // Layer 2: the credit cards.
    select(s, bar(48), 2);
    s.signal(bar(48), id::switcher, layerCode::startLayer, {0});
    s.text(bar(48), id::switcher, layerCode::show, texture("vp_credit_code.png"));
    for (const char* card : {"vp_credit_music.png", "vp_credit_visuals.png", "vp_credit_thanks.png"})
        s.text(bar(48), id::switcher, layerCode::append, texture(card));
    s.signal(bar(48), id::switcher, code::rectangle, {25, 60, 50, 25});
    additive(s, bar(48), kBeatMs, 255);
    for (int b = 50; b < 56; b += 2) {
        select(s, bar(b), 2);
        s.signal(bar(b), id::switcher, layerCode::next, {0});
    }
    // Layer 3: a shape in the top corner, changing on every beat.
    select(s, bar(48), 3);
    s.signal(bar(48), id::switcher, layerCode::startLayer, {0});
    s.text(bar(48), id::switcher, layerCode::show, texture("vp_glyph_circle.png"));
    for (const char* glyph : {"vp_glyph_triangle.png", "vp_glyph_square.png", "vp_glyph_diamond.png"})
        s.text(bar(48), id::switcher, layerCode::append, texture(glyph));
    s.signal(bar(48), id::switcher, code::rectangle, {84, 6, 11, 15});
    s.signal(bar(48), id::switcher, layerCode::rotation, {0, 0, 20});
    additive(s, bar(48), kBeatMs, 200);
    for (int beat = 1; beat < 7 * 4; ++beat) {
        int at = bar(48) + beat * kBeatMs;
        select(s, at, 3);
        s.signal(at, id::switcher, layerCode::next, {0});
    }
    // Layer 0: the emblem over the last bars.
    select(s, bar(52), 0);
    s.signal(bar(52), id::switcher, layerCode::startLayer, {0});
    s.signal(bar(52), id::switcher, code::rectangle, {40, 14, 20, 27});
    s.signal(bar(52), id::switcher, code::alphaMove, {220, 0, bar(1)});
    s.stop(kEndMs - 1, id::switcher);
}

void forcefield(ScriptWriter& s)
{
    s.setupLayer(id::forcefield, layer::forcefield);
    s.timelineComment("forcefield: glowing trails swirling over the groove");
    s.start(bar(8), id::forcefield);
    s.init(bar(8), id::forcefield);
    s.signal(bar(8), id::forcefield, 90, {70});
    s.signal(bar(12), id::forcefield, 90, {110});
    s.stop(bar(16), id::forcefield);
}

void tree(ScriptWriter& s)
{
    s.setupLayer(id::tree, layer::scenes);
    s.setupText(id::tree, code::load, "data/tree.vsc");
    s.timelineComment("tree: grows on its planet through the break, swaying from the last bar");
    s.start(bar(24), id::tree);
    s.init(bar(24), id::tree);
    // Whole after about seven seconds (0.37 + t / 18 / 600 reaches 1 at
    // 6.8 s), so the growth spans the break; the sway joins halfway through.
    s.signal(bar(24), id::tree, 92, {bar(24), 18});
    s.signal(bar(26), id::tree, 93, {0});
    s.stop(bar(28), id::tree);
}

void deformation(ScriptWriter& s)
{
    // Both effects play the same scene: the wobble writes the sphere, the
    // pulse the crate, and whichever draws last shows both.
    for (int effect : {id::geosphere, id::pulse}) {
        s.setupLayer(effect, layer::scenes);
        s.setupText(effect, code::load, "data/build.vsc");
    }
    s.timelineComment("build: the sphere wobbles on the beat, then the crate pulses beside it");
    s.start(bar(28), id::geosphere);
    s.init(bar(28), id::geosphere);
    s.signal(bar(28), id::geosphere, 91, {16, 70});  // amplitude, wavelength
    s.signal(bar(28), id::geosphere, 92, {150, 90, 120});
    s.signal(bar(28), id::geosphere, 93, {80, 12});  // radius limits
    s.signal(bar(28), id::geosphere, 94, {2 * kBeatMs * 100}); // a cycle every two beats
    s.signal(bar(30), id::geosphere, 94, {kBeatMs * 100});     // then every beat
    s.start(bar(30), id::pulse);
    s.init(bar(30), id::pulse);
    s.signal(bar(30), id::pulse, 91, {75, 35}); // base, swing
    s.signal(bar(30), id::pulse, 93, {1});
    s.text(bar(30), id::pulse, code::selectObject, "Box08");
    s.signal(bar(30), id::pulse, code::spin, {300, 500, 0});
    s.signal(bar(32) - 1, id::pulse, 93, {0});
    s.stop(bar(32), id::geosphere);
    s.stop(bar(32), id::pulse);
}

void invertFlashes(ScriptWriter& s)
{
    s.setupLayer(id::invert, layer::invert);
    // Pattern trigger 14 turns the spotlight stage over on its off-beats
    // (ProductionScript.cpp); short, so the shadows read between the hits.
    s.start(bar(20), id::invert);
    s.signal(bar(20), id::invert, 90, {240});
    s.stop(bar(24), id::invert);
    s.timelineComment("invert flashes on the climax: every cut, and the off-beats of the last bars");
    s.start(bar(32), id::invert);
    s.signal(bar(32), id::invert, 90, {260});
    for (int b = 32; b < 48; b += 2)
        s.signal(bar(b), id::invert, 400, {bar(b)});
    for (int b = 44; b < 48; ++b)
        for (int beat : {1, 3})
            s.signal(bar(b) + beat * kBeatMs, id::invert, 400, {bar(b) + beat * kBeatMs});
    s.stop(bar(48), id::invert);
}

} // namespace

void generatedEffectsScript(ScriptWriter& s)
{
    keyControl(s);
    titles(s);
    forcefield(s);
    tree(s);
    deformation(s);
    invertFlashes(s);
}
