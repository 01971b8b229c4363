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

bool SectionLoop::apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback,
                        FramePresenter& presenter)
{
    if (!checked) {
        checked = true;
        if (active() && !holdsAFrame(from, to, player.demoStart(), player.endDemoTime())) {
            if (to <= player.demoStart())
                std::fprintf(stderr, "warning: the loop %d..%d ms ends at or before the demo start (%d ms); "
                                     "playing without it\n", from, to, player.demoStart());
            else
                std::fprintf(stderr, "warning: the loop %d..%d ms starts at or after the demo's end (%d ms)\n", from,
                             to, player.endDemoTime());
            from = to = -1;
        }
    }
    const int now = engine.demoClock().now();
    if (pressed.any())
        actOnKeys(now, player, presenter);
    // One frame is drawn after each jump back, however short the loop.
    if (jumped) {
        jumped = false;
        return false;
    }
    if (!active() || playback.paused() || now < to)
        return false;
    std::printf("loop back to %d ms\n", from);
    std::fflush(stdout);
    jumped = playback.seek(engine, player, now, from);
    return jumped;
}
