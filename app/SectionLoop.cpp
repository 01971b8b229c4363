#include "app/SectionLoop.h"

#include "app/PlaybackControl.h"
#include "engine/DemoEngine.h"
#include "engine/ScriptPlayer.h"

#include <cstdio>

bool SectionLoop::apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback)
{
    const int now = engine.demoClock().now();
    if (pressed.any()) {
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
        if (active())
            std::printf("loop %d..%d ms\n", from, to);
        else if (from >= 0)
            std::printf("loop from %d ms\n", from);
        else
            std::printf("loop off\n");
        std::fflush(stdout);
    }
    if (!active() || playback.paused() || now < to)
        return false;
    std::printf("loop back to %d ms\n", from);
    std::fflush(stdout);
    return playback.seek(engine, player, now, from);
}
