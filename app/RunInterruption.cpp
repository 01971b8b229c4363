#include "app/RunInterruption.h"

#include "platform/Interruption.h"

#include <cstdio>

std::string interruptionMessage(const char* signalName, int demoTimeMs, const std::string& written, int frames)
{
    std::string text = std::string("vplayer: interrupted by ") + signalName;
    if (demoTimeMs >= 0)
        text += " at demo time " + std::to_string(demoTimeMs) + " ms";
    if (!written.empty())
        text += "; " + written + " holds the " + std::to_string(frames) + " frame" + (frames == 1 ? "" : "s") +
                " up to there";
    return text;
}

void reportInterruption(int demoTimeMs, const std::string& written, int frames)
{
    static bool reported = false;
    const int signal = platform::interruptingSignal();
    if (!signal || reported)
        return;
    reported = true;
    std::fprintf(stderr, "%s\n", interruptionMessage(platform::signalName(signal), demoTimeMs, written, frames).c_str());
    std::fflush(stderr);
}
