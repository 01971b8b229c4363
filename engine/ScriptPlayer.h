#pragma once
// Plays a parsed script. At every start it parses the script again, rebuilds
// the layers from the setup events, initialises every effect at time 0 and
// aligns the demo clock with the script's demo start. Each frame it reads the
// demo time, delivers every timeline event that has come due (each exactly
// once per start: the next-event position only moves forward), runs the layer
// pass and swaps the buffers. It watches the three control keys and raises the
// flags the demo run acts on:
//   Escape          quit
//   Ctrl+Home       reload: every effect deleted, to be rebuilt from scratch
//   Ctrl+Shift      restart: every effect stopped, the script played again
// tested in that order, so Escape wins and Ctrl+Shift+Home reloads.
//
// Owned by the demo run; owns its Script. Reads time and keys from the
// DemoEngine, which must exist, so a fixed-step clock installed with
// setActiveClock drives it frame by frame.

#include "engine/FrameStats.h"
#include "engine/TimeGrid.h"

#include <cstddef>
#include <string>
#include <vector>

class Script;
class ScriptSource;
struct ScriptEvent;

class ScriptPlayer {
public:
    // The script is read through the virtual file layer, or from `source`
    // when one is given (not owned). Parse errors are fatal either way.
    explicit ScriptPlayer(const char* scriptPath, ScriptSource* source = nullptr);
    ~ScriptPlayer();

    void startScript();
    // One frame; it reads the keys (DemoEngine::keysReadByFrame at its end).
    void runFrame();
    // While set, a frame still reads the keys and delivers what has come due,
    // but shows the picture again through redraw(user) instead of drawing the
    // effects: a paused run whose picture is kept. Null draws as usual.
    void setRedraw(void (*redraw)(void*), void* user)
    {
        redrawHook = redraw;
        redrawUser = user;
    }
    // Makes this a capture's player: frames are drawn at the points of
    // `frames`, and between them the points of
    // frames.refinedTo(kMinStepsPerSecond) are played without drawing (their
    // events delivered, the running effects caught up through
    // Effect::catchUp), so that the effects step at least that often
    // whatever the capture's rate. A slow capture then shows at each frame
    // what the show played at a normal rate shows at that time, not a beat's
    // flash fired at the next frame, a second late. A live run's frames come
    // when they come.
    static constexpr int kMinStepsPerSecond = 60;
    void setFrameGrid(const TimeGrid& frames);
    // Brings the script to demo time `ms` as a run that stepped through the
    // time before it would have: the steps before `ms` (a capture's grid, or
    // kMinStepsPerSecond a second counted back from `ms` for a live run),
    // from the last frame or the start, are played without drawing; then
    // every event due by `ms` is delivered and the demo clock is set to
    // `ms`. A capture begun mid-show thereby steps through the times one
    // begun earlier steps through, and shows its frames.
    static constexpr int kFastForwardSpanMs = 600000; // steps played at most this far back from `ms` (a show's length)
    void fastForward(int ms);
    // Stops every effect and lets go of the script, as Ctrl+Shift does.
    void requestRestart();

    int demoStart() const;
    // Demo time of the first end-of-demo event, -1 when the script has none.
    int endDemoTime() const;
    bool quitRequested() const { return quit; }
    bool restartRequested() const { return restart; }
    bool reloadRequested() const { return reload; }

    // Demo time of the last frame, drawn or fast-forwarded.
    int lastFrameTime() const { return lastFrameMs; }
    // Timeline events delivered since the last start.
    size_t eventsDelivered() const { return nextEvent; }

    static constexpr int kKeyEscape = 27;
    static constexpr int kKeyShift = 16;
    static constexpr int kKeyControl = 17;
    static constexpr int kKeyHome = 36;

private:
    ScriptPlayer(const ScriptPlayer&) = delete;
    ScriptPlayer& operator=(const ScriptPlayer&) = delete;

    void deleteScript();
    void deliver(const ScriptEvent& event);
    // Every timeline event due by `ms` not delivered yet, in order.
    void deliverDue(int ms);
    // Plays the points of `steps` in [fromMs, toMs) as frames without drawing.
    void playSteps(const TimeGrid& steps, int fromMs, int toMs);

    std::string scriptPath;
    Script* script = nullptr;
    const std::vector<ScriptEvent*>* timeline = nullptr;
    size_t nextEvent = 0;                                 // first timeline event not yet delivered
    const std::vector<ScriptEvent*>* setupEvents = nullptr;
    bool quit = false;
    bool restart = false;
    bool reload = false;
    FrameStats statistics;                                // only with logging
    bool statisticsOpen = false;
    ScriptSource* source;
    void (*redrawHook)(void*) = nullptr;
    void* redrawUser = nullptr;
    int lastFrameMs = 0;       // demo time of the last frame, drawn or fast-forwarded
    bool framePlayed = false; // a frame since the last start
    TimeGrid steps{0, kMinStepsPerSecond}; // a capture's steps, drawn or not
    bool capturing = false;                // steps holds a capture's grid
};
