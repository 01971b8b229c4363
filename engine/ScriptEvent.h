#pragma once
// One event of a parsed script: what happens to which effect at which demo
// time. Owned by the Script that parsed it.

#include "engine/SignalArgs.h"

enum class EventType {
    Start = 1,
    Stop = 2,
    Init = 3,
    Signal = 4,
    SetLayer = 5, // layer number in args.code; args.count 1 with args[0] = 0
    EndDemo = 6,  // effectId unused
};

struct ScriptEvent {
    int time = 0;     // demo time in ms; 0 for setup events
    EventType type = EventType::Start;
    int effectId = 0;
    SignalArgs args;
    // Where the event was written: the script file (owned by the Script) and
    // its line, counted from 1 in the file as it is on disk.
    const char* file = nullptr;
    int line = 0;
};
