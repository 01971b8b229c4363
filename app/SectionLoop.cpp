#include "app/SectionLoop.h"

#include "app/FramePresenter.h"
#include "app/PlaybackControl.h"
#include "engine/DemoEngine.h"
#include "engine/ScriptPlayer.h"

#include <algorithm>
#include <cstdio>

bool SectionLoop::holdsAFrame(int fromMs, int toMs, int demoStart, int demoEnd)
{
    // Playback never starts before the demo start, and ends at the demo's end.
    const int first = std::max(fromMs, demoStart);
    return toMs > first && (demoEnd < 0 || first < demoEnd);
}

void SectionLoop::actOnKeys(int now, ScriptPlayer& player, FramePresenter& presenter)
{
    const int oldFrom = from;
    const int oldTo = to;
    if (pressed[1]) {
        from = to = -1;
    }
    if (pressed[0]) {
        from = now;
        if (to <= from)
            to = -1;
    }
    if (pressed[2]) {
        to = now;
        if (from < 0 || from >= to)
            from = player.demoStart();
    }
    pressed.clear();
    if (to >= 0 && !holdsAFrame(from, to, player.demoStart(), player.endDemoTime())) {
        char text[96];
        std::snprintf(text, sizeof text, "no loop to %d ms: it ends at the demo start", to);
        from = oldFrom;
        to = oldTo;
        std::printf("%s\n", text);
        std::fflush(stdout);
        presenter.setNotice(text);
        refusalShown = true;
        return;
    }
    if (refusalShown) {
        presenter.setNotice("");
        refusalShown = false;
    }
    if (active())
        std::printf("loop %d..%d ms\n", from, to);
    else if (from >= 0)
        std::printf("loop from %d ms\n", from);
    else
        std::printf("loop off\n");
    std::fflush(stdout);
}

void SectionLoop::fit(int demoStart, int demoEnd, PlaybackControl& playback)
{
    const bool fromCommandLine = !fitted;
    fitted = true;
    showEnd = demoEnd;
    endCaught = false;
    if (!active())
        return;
    char text[160];
    if (!holdsAFrame(from, to, demoStart, demoEnd)) {
        if (to <= demoStart)
            std::snprintf(text, sizeof text, "the loop %d..%d ms ends at or before the demo start (%d ms); "
                          "playing without it", from, to, demoStart);
        else
            std::snprintf(text, sizeof text, "the loop %d..%d ms starts at or after the demo's end (%d ms); "
                          "playing without it", from, to, demoEnd);
        if (fromCommandLine)
            playback.dropLoopStart(from);
        from = to = -1;
    } else if (demoEnd >= 0 && to > demoEnd) {
        std::snprintf(text, sizeof text, "the loop %d..%d ms reaches past the demo's end (%d ms); looping %d..%d ms",
                      from, to, demoEnd, from, demoEnd);
        to = demoEnd;
    } else {
        return;
    }
    if (fromCommandLine) {
        std::fprintf(stderr, "warning: %s\n", text);
    } else {
        std::printf("%s\n", text);
        std::fflush(stdout);
    }
}

bool SectionLoop::catchesEnd(const ScriptPlayer& player)
{
    // A frame that reads Escape ends before its time is taken, so only the
    // end event leaves a frame time at or past the loop's end here.
    endCaught = active() && showEnd >= 0 && to >= showEnd && player.lastFrameTime() >= to;
    return endCaught;
}

bool SectionLoop::apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback,
                        FramePresenter& presenter)
{
    const int now = engine.demoClock().now();
    if (pressed.any())
        actOnKeys(now, player, presenter);
    // One frame is drawn after each jump back, however short the loop.
    if (jumped) {
        jumped = false;
        return false;
    }
    if (!active() || (!endCaught && (playback.paused() || now < to)))
        return false;
    endCaught = false;
    std::printf("loop back to %d ms\n", from);
    std::fflush(stdout);
    jumped = playback.seek(engine, player, now, from);
    return jumped;
}
