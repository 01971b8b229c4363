#include "engine/ScriptPlayer.h"

#include "engine/DemoEngine.h"
#include "engine/Effect.h"
#include "engine/EffectManager.h"
#include "engine/Logging.h"
#include "engine/Script.h"
#include "gl/ErrorBox.h"

#include <algorithm>
#include <new>

ScriptPlayer::ScriptPlayer(const char* path, ScriptSource* scriptSource)
    : scriptPath(path)
    , source(scriptSource)
{
}

ScriptPlayer::~ScriptPlayer()
{
    deleteScript();
    if (loggingEnabled() && statisticsOpen)
        statistics.close();
}

int ScriptPlayer::demoStart() const
{
    return script ? script->demoStart() : 0;
}

int ScriptPlayer::endDemoTime() const
{
    if (!timeline)
        return -1;
    for (const ScriptEvent* e : *timeline) {
        if (e->type == EventType::EndDemo)
            return e->time;
    }
    return -1;
}

void ScriptPlayer::deleteScript()
{
    delete script;
    script = nullptr;
    timeline = nullptr;
    setupEvents = nullptr;
    nextEvent = 0;
}

void ScriptPlayer::startScript()
{
    quit = false;
    restart = false;
    reload = false;
    deleteScript();

    if (source)
        script = new (std::nothrow) Script(scriptPath.c_str(), *source, Script::ErrorMode::Fatal);
    else
        script = new (std::nothrow) Script(scriptPath.c_str());
    if (!script)
        errorBox("could not set up script", true);

    timeline = &script->timeline();
    nextEvent = 0;
    setupEvents = &script->setupEvents();

    EffectManager* manager = EffectManager::instance();
    manager->clearLayers();
    for (const ScriptEvent* event : *setupEvents) {
        switch (event->type) {
        case EventType::SetLayer:
            manager->addToLayer(event->args.code, event->effectId);
            break;
        case EventType::Signal:
            if (Effect* effect = manager->findEffect(event->effectId))
                effect->signal(event->args);
            break;
        default:
            errorBox("Unsupported signal in script SETUP", false);
            break;
        }
    }

    framePlayed = false;

    // After the setup signals: init resets what it owns (rectangle, colour,
    // blending), so only the signals it leaves alone stay in force.
    manager->initAll();

    DemoEngine* engine = DemoEngine::getInstance();
    engine->setTimerOffset(script->demoStart());
    // The music is positioned at the demo start, and a position before its
    // beginning is its beginning: a lead-in (a negative demo start) plays
    // over the music's start, so that is where position 0 is heard.
    engine->setMusicOrigin(script->demoStart() < 0 ? script->demoStart() : 0);

    if (loggingEnabled()) {
        // A restart opens the file afresh; the run before it is summed up
        // first so that the stream is free to open again.
        if (statisticsOpen)
            statistics.close();
        statistics.open(100, logPath("vp_profiling.txt").c_str());
        statisticsOpen = true;
    }
}

void ScriptPlayer::deliver(const ScriptEvent& event)
{
    EffectManager* manager = EffectManager::instance();
    switch (event.type) {
    case EventType::EndDemo:
        quit = true;
        return;
    case EventType::SetLayer:
        manager->addToLayer(event.args.code, event.effectId);
        return;
    default:
        break;
    }

    Effect* effect = manager->findEffect(event.effectId);
    if (!effect)
        return;
    switch (event.type) {
    case EventType::Start:
        effect->start();
        break;
    case EventType::Stop:
        effect->stop();
        break;
    case EventType::Init:
        // The event's own time, not the frame's: a late frame must not shift
        // the effect's clock.
        effect->init(event.time);
        break;
    case EventType::Signal:
        effect->signal(event.args);
        break;
    default:
        errorBoxInt("error case", 1, false);
        break;
    }
}

void ScriptPlayer::deliverDue(int ms)
{
    if (!timeline)
        return;
    while (nextEvent < timeline->size() && (*timeline)[nextEvent]->time <= ms) {
        const ScriptEvent& event = *(*timeline)[nextEvent];
        ++nextEvent;
        deliver(event);
    }
}

void ScriptPlayer::setFrameGrid(const TimeGrid& frames)
{
    steps = frames.refinedTo(kMinStepsPerSecond);
    capturing = true;
}

void ScriptPlayer::playSteps(const TimeGrid& grid, int fromMs, int toMs)
{
    EffectManager* manager = EffectManager::instance();
    // Past the end of the demo nothing is left to catch up.
    for (int64_t i = grid.firstAtOrAfter(fromMs); !quit; ++i) {
        const int t = grid.timeOf(i);
        if (t >= toMs)
            break;
        deliverDue(t);
        manager->catchUp(t);
        lastFrameMs = t;
        framePlayed = true;
    }
}

void ScriptPlayer::fastForward(int ms)
{
    // The steps a run would have taken on the way are played without
    // drawing: what effects do from frame to frame rather than from the time
    // alone (a pattern trigger's steps, a single flash that stops once faded,
    // the forcefield's particles) then happens at the times it happens in a
    // run that drew them. A capture's steps run through its own frames, so
    // that one begun at `ms` steps through the times of one begun earlier.
    // Only the last stretch is played; what lies before it arrives in one
    // burst, as after a minimised window.
    const TimeGrid grid = capturing ? steps : TimeGrid(ms, kMinStepsPerSecond);
    const long long first = framePlayed ? static_cast<long long>(lastFrameMs) + 1 : demoStart();
    const long long earliest = std::max(first, static_cast<long long>(ms) - kFastForwardSpanMs);
    if (earliest < ms)
        playSteps(grid, static_cast<int>(earliest), ms);
    deliverDue(ms);
    DemoEngine::getInstance()->demoClock().seek(ms);
}

void ScriptPlayer::requestRestart()
{
    EffectManager::instance()->stopAll();
    deleteScript();
    restart = true;
}

void ScriptPlayer::runFrame()
{
    DemoEngine* engine = DemoEngine::getInstance();
    // However the frame ends, it has read the keys down since the frame before.
    struct KeysRead {
        DemoEngine* engine;
        ~KeysRead() { engine->keysReadByFrame(); }
    } keysRead{engine};
    // Minimised: nothing at all. The clock runs on, so the events that come
    // due meanwhile arrive together with the next shown frame.
    if (!engine->isActive())
        return;

    if (loggingEnabled() && statisticsOpen)
        statistics.countFrame();

    if (engine->isKeyDown(kKeyEscape)) {
        quit = true;
        return;
    }
    if (engine->areKeysHeldTogether(kKeyControl, kKeyHome)) {
        EffectManager::instance()->deleteAll();
        deleteScript();
        reload = true;
        return;
    }
    if (engine->areKeysHeldTogether(kKeyControl, kKeyShift)) {
        requestRestart();
        return;
    }

    int now = engine->getTime();
    if (capturing && framePlayed && now > lastFrameMs)
        playSteps(steps, lastFrameMs + 1, now);
    deliverDue(now);
    lastFrameMs = now;
    framePlayed = true;

    if (redrawHook) {
        redrawHook(redrawUser);
        return;
    }
    EffectManager::instance()->renderFrame(now);
    engine->swapBuffers();
}
