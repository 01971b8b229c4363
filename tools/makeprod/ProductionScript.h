#pragma once
#include "tools/makeprod/ScriptWriter.h"

// The sample production's script, timed against the soundtrack: 125 BPM,
// 480 ms a beat, 1920 ms a bar, first beat at 0 ms.
ScriptWriter productionScript();

constexpr int kBeatMs = 480;
constexpr int kBarMs = 4 * kBeatMs;
constexpr int kEndMs = 111000;

constexpr int bar(int n)
{
    return n * kBarMs;
}
