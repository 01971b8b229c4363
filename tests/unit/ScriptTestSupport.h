#pragma once
// Helpers for the script parser tests: scripts held in memory, and events
// written out as short lines so that a whole timeline compares at a glance.

#include "engine/MemoryScriptSource.h"
#include "engine/Script.h"

#include <memory>
#include <string>
#include <vector>

// "1500 start 7", "0 layer 3 -> 2", "55000 signal 40 206 (0 0 0 255 0 1000) +50000",
// "0 signal 10 100 'hello'", "70000 end_demo". More than ten arguments show as "...n".
inline std::string describe(const ScriptEvent& e)
{
    std::string s = std::to_string(e.time) + " ";
    switch (e.type) {
    case EventType::Start: return s + "start " + std::to_string(e.effectId);
    case EventType::Stop: return s + "stop " + std::to_string(e.effectId);
    case EventType::Init: return s + "init " + std::to_string(e.effectId);
    case EventType::EndDemo: return s + "end_demo";
    case EventType::SetLayer:
        return s + "layer " + std::to_string(e.effectId) + " -> " + std::to_string(e.args.code);
    case EventType::Signal: break;
    }
    s += "signal " + std::to_string(e.effectId) + " " + std::to_string(e.args.code);
    if (e.args.count == 0) {
        s += " '" + std::string(e.args.text) + "'";
    } else {
        s += " (";
        for (int i = 0; i < e.args.count && i < kSignalMaxArgs; ++i)
            s += (i ? " " : "") + std::to_string(e.args.args[i]);
        if (e.args.count > kSignalMaxArgs)
            s += " ..." + std::to_string(e.args.count);
        s += ")";
    }
    if (e.args.timeOffset != 0)
        s += " +" + std::to_string(e.args.timeOffset);
    return s;
}

inline std::vector<std::string> describeAll(const std::vector<ScriptEvent*>& events)
{
    std::vector<std::string> out;
    for (const ScriptEvent* e : events)
        out.push_back(describe(*e));
    return out;
}

// Parses main.scr (and whatever it includes) from memory, reporting errors.
struct ParsedScript {
    MemoryScriptSource source;
    std::unique_ptr<Script> script;

    explicit ParsedScript(const std::string& main, int maxFileParses = Script::kMaxFileParses)
    {
        source.addFile("main.scr", main);
        parse(maxFileParses);
    }
    ParsedScript(std::initializer_list<std::pair<const std::string, std::string>> files,
                 int maxFileParses = Script::kMaxFileParses)
    {
        for (const auto& f : files)
            source.addFile(f.first, f.second);
        parse(maxFileParses);
    }
    void parse(int maxFileParses)
    {
        script = std::make_unique<Script>("main.scr", source, Script::ErrorMode::Report, maxFileParses);
    }

    std::vector<std::string> timeline() const { return describeAll(script->timeline()); }
    std::vector<std::string> setup() const { return describeAll(script->setupEvents()); }
    std::string error() const { return script->errorText(); }
};
