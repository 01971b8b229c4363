#include "tools/effecttable/EffectTable.h"

#include "app/DemoEffects.h"
#include "effects/AnsiFilter.h"
#include "effects/EffectSwitcher.h"
#include "effects/Forcefield.h"
#include "effects/GeoSphereDeform.h"
#include "effects/GlowFilter.h"
#include "effects/ImageLayer.h"
#include "effects/InvertFlash.h"
#include "effects/KeyControl.h"
#include "effects/MotionBlurFilter.h"
#include "effects/NoiseFilter.h"
#include "effects/ObjectPulse.h"
#include "effects/RadialBlurFilter.h"
#include "effects/RenderTargetLayer.h"
#include "effects/Tree.h"
#include "engine/ClearScreen.h"
#include "engine/Effect.h"
#include "engine/FlashOverlay.h"
#include "engine/PatternTrigger.h"
#include "engine/ScreenFade.h"
#include "engine/SignalInfo.h"
#include "scene/SceneEffect.h"

#include <algorithm>
#include <vector>

namespace effecttable {

const char* const kBeginMarker = "<!-- effect table: made by `build/effecttable`, do not edit by hand -->";
const char* const kEndMarker = "<!-- end of effect table -->";

namespace {

using SignalsFn = const SignalTable& (*)();

struct ClassInfo {
    SignalsFn signals;
    const char* name;
    const char* purpose;
    // Where a class that hands every code on sends it (documented with it).
    SignalsFn passesTo;
    // The part of the sample production that shows the class at work: its
    // sections' files in production/data. Null where there is none to name.
    const char* shownIn;
};

const ClassInfo kClasses[] = {
    {&Effect::signals, "Common signals",
     "Every effect above that says so also takes these: its clock, its rectangle, colour, blending and "
     "rotation.",
     nullptr, nullptr},
    {&RenderTargetLayer::signals, "Render target",
     "An effect marked *through the render target* is drawn into the shared off-screen picture and laid "
     "over the screen as a flat layer. The layer takes these, and the common signals 200 to 206 (but 204) "
     "and 500, 501 for its colour, rectangle and rotation; every signal also reaches the effect inside, so "
     "a code both know (91, 407, the colours) acts on both.",
     nullptr,
     "the shakes and the slow turn of the scenes in `climax.scr`."},
    {&ClearScreen::signals, "ClearScreen",
     "Clears the picture at the start of each frame; its colour (200, 201) is the clear colour. Put it on "
     "layer 0.",
     nullptr,
     "the background colour, moved one step a beat through every section from `intro.scr` on."},
    {&KeyControl::signals, "KeyControl",
     "A live controller for rehearsals: keys toggle effects and send signals to the effect last toggled.",
     nullptr,
     "started in `intro.scr`, it listens all show long."},
    {&PatternTrigger::signals, "PatternTrigger",
     "Drives its source (signal 70) in a rhythm: every step whose pattern character is not `0` sends the "
     "source signal 407 with the step's time and character.",
     nullptr,
     "the ticks on the bar in `groove.scr`, the inverts on the stage in `theme.scr`, the eighths of "
     "`build.scr` and the strobe of `climax.scr`; their sources and steps are set up in `testscript.scr`."},
    {&Forcefield::signals, "Forcefield", "500 glowing particle trails swirling around two moving attractors.",
     nullptr,
     "the trails over the swarm in `groove.scr`."},
    {&GeoSphereDeform::signals, "GeoSphereDeform",
     "A scene player that makes one roughly spherical mesh of its scene wobble with travelling sine waves.",
     nullptr,
     "the wobbling sphere of `build.scr`, and the duck and teapots gone to jelly at the end of "
     "`climax.scr`."},
    {&ObjectPulse::signals, "ObjectPulse",
     "A scene player that makes one mesh of its scene pulse in waves from its middle out.", nullptr,
     "the pulsing crate of `build.scr`."},
    {&SceneEffect::signals, "SceneEffect",
     "Plays a 3D scene file: cameras, lights, fog, objects, materials, shadows. Load the scene with signal "
     "50 in the setup.",
     nullptr,
     "the hall in `intro.scr` and `outro.scr`, the swarm in `groove.scr`, the chrome room and the shadowed "
     "stage in `theme.scr`, the cuts and the imported models in `climax.scr`."},
    {&Tree::signals, "Tree",
     "A scene player that grows a tree (from `data/tree2.arb`) on the scene's spheres `Sphere01` and "
     "`Sphere02`.",
     nullptr,
     "the break, `break.scr`."},
    {&AnsiFilter::signals, "AnsiFilter", "A coarse block look of its source, added over the picture.", nullptr,
     "the blocks over the tree in `break.scr`."},
    {&RadialBlurFilter::signals, "RadialBlurFilter", "A zoom blur of its source.", nullptr,
     "the blur over the cuts in `climax.scr`."},
    {&MotionBlurFilter::signals, "MotionBlurFilter", "Fading after-images of its source.", nullptr,
     "the swarm's trails in `groove.scr`."},
    {&GlowFilter::signals, "GlowFilter", "Adds a soft glow of its source's picture over the frame.", nullptr,
     "the chrome room in `theme.scr`."},
    {&NoiseFilter::signals, "NoiseFilter", "A full-screen film of random grey noise; it needs no source.",
     nullptr,
     "the film flashing on the beats in the second half of `climax.scr`."},
    {&EffectSwitcher::signals, "EffectSwitcher",
     "Five picture layers under one id: 99 selects one, and every signal then goes to the selected layer.",
     &ImageLayer::signals,
     "the titles in `intro.scr` and the credits in `outro.scr`."},
    {&ImageLayer::signals, "ImageLayer", "A picture in the effect's rectangle, spinning or scrolling.", nullptr,
     "the emblem and the title in `intro.scr`, the credit cards and the shapes in `outro.scr`."},
    {&InvertFlash::signals, "InvertFlash", "Inverts the whole frame for a moment and fades back.", nullptr,
     "the stage's off-beats in `theme.scr` and the cuts of `climax.scr`."},
    {&ScreenFade::signals, "ScreenFade", "A full-screen veil in the effect's colour that fades in or out.",
     nullptr,
     "the rise out of black in `intro.scr` and the fade to black in `outro.scr`."},
    {&FlashOverlay::signals, "FlashOverlay",
     "A full-screen flash in the effect's colour (white by default) that fades out. A pattern trigger's "
     "flash is always white: [a coloured beat flash](#a-coloured-beat-flash) says why and how to get one.",
     nullptr,
     "the pulses of every section, and the ticks and strobes the pattern triggers send it."},
};

const ClassInfo* describe(SignalsFn fn)
{
    for (const ClassInfo& c : kClasses)
        if (c.signals == fn)
            return &c;
    return nullptr;
}

const ClassInfo* describe(const SignalTable* table)
{
    for (const ClassInfo& c : kClasses)
        if (&c.signals() == table)
            return &c;
    return nullptr;
}

std::string anchor(const char* name)
{
    std::string a;
    for (const char* p = name; *p; ++p)
        a += *p == ' ' ? '-' : static_cast<char>(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
    return a;
}

// A table cell: pipes would end the cell.
std::string cell(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p) {
        if (*p == '|')
            out += '\\';
        out += *p;
    }
    return out;
}

void codeTable(std::string& out, const SignalTable& table)
{
    if (table.count == 0) {
        out += "No signals of its own.\n";
        return;
    }
    out += "| Code | Arguments | What it does |\n|---:|---|---|\n";
    for (int i = 0; i < table.count; ++i) {
        const SignalInfo& s = table.entries[i];
        out += "| " + std::to_string(s.code) + " | " + (s.arguments[0] ? "`" + cell(s.arguments) + "`" : "") +
               " | " + cell(s.purpose) + " |\n";
    }
}

void section(std::string& out, const ClassInfo& c, const std::vector<int>& ids, bool wrapped,
             std::string& error)
{
    out += "\n### " + std::string(c.name) + "\n\n";
    if (!ids.empty()) {
        out += ids.size() == 1 ? "Id " : "Ids ";
        for (size_t i = 0; i < ids.size(); ++i)
            out += (i ? ", " : "") + std::to_string(ids[i]);
        out += wrapped ? ", drawn [through the render target](#render-target). " : ". ";
    }
    out += std::string(c.purpose) + "\n\n";
    if (c.shownIn)
        out += "In the [sample production](#the-sample-production): " + std::string(c.shownIn) + "\n\n";
    const SignalTable& table = c.signals();
    codeTable(out, table);
    if (table.inherited) {
        const ClassInfo* base = describe(table.inherited);
        if (!base) {
            error = std::string(c.name) + " passes signals on to a class without a description";
            return;
        }
        if (table.inherited == &Effect::signals())
            out += "\nIt also takes the [common signals](#" + anchor(base->name) + ").\n";
        else
            out += "\nIt also takes the signals of [" + std::string(base->name) + "](#" + anchor(base->name) +
                   ").\n";
    }
    if (c.passesTo) {
        const ClassInfo* to = describe(c.passesTo);
        out += "\nEvery signal, these included, then goes to the selected [" + std::string(to->name) + "](#" +
               anchor(to->name) + ").\n";
    } else if (table.forwardsAny) {
        out += "\nIt hands codes it does not know on to another effect.\n";
    }
}

} // namespace

std::string render(std::string& error)
{
    int count = 0;
    const DemoEffects::Entry* entries = DemoEffects::table(count);

    // The classes in order of their first id, each with all of its ids.
    struct Group {
        const ClassInfo* info;
        std::vector<int> ids;
        bool wrapped;
    };
    std::vector<Group> groups;
    for (int i = 0; i < count; ++i) {
        const ClassInfo* info = describe(entries[i].signals);
        if (!info) {
            error = "effect id " + std::to_string(entries[i].id) + " has a class without a description";
            return {};
        }
        Group* found = nullptr;
        for (Group& g : groups)
            if (g.info == info)
                found = &g;
        if (!found) {
            groups.push_back({info, {}, entries[i].wrapped});
            found = &groups.back();
        }
        found->ids.push_back(entries[i].id);
    }

    std::string out = std::string(kBeginMarker) + "\n\n";
    out += "| Id | Effect | Through the render target |\n|---:|---|---|\n";
    // The index lists the ids in order; the registry's order is the order of construction.
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return entries[a].id < entries[b].id; });
    for (int i : order) {
        const ClassInfo* info = describe(entries[i].signals);
        out += "| " + std::to_string(entries[i].id) + " | [" + info->name + "](#" + anchor(info->name) + ") | " +
               (entries[i].wrapped ? "yes" : "") + " |\n";
    }
    for (const Group& g : groups) {
        section(out, *g.info, g.ids, g.wrapped, error);
        if (!error.empty())
            return {};
        if (g.info->passesTo) {
            const ClassInfo* to = describe(g.info->passesTo);
            section(out, *to, {}, false, error);
            if (!error.empty())
                return {};
        }
    }
    section(out, *describe(&RenderTargetLayer::signals), {}, false, error);
    section(out, *describe(&Effect::signals), {}, false, error);
    if (!error.empty())
        return {};
    out += "\n" + std::string(kEndMarker) + "\n";
    return out;
}

} // namespace effecttable
