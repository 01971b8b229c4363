// Fuzzes the script parser from memory.
//
// The input holds up to four script files separated by 0x01 bytes, named
// "f0" (the root) to "f3", so that INCLUDE chains, repeated includes and
// include cycles are reachable ("INCLUDE f1" is in the dictionary).
//
// The player's parser ends the process on the first error; here it runs in
// its reporting mode, which stops at the same point with the same message and
// returns, so every input, accepted or not, is parsed as far as the player
// would parse it. The bound on file parses is lowered from 4096 to 64 to keep
// includes that multiply each other cheap; the code path is the same.
//
// Beyond the sanitizers, the target checks what the timeline player relies
// on: a timeline in time order, known event types, setup events at time 0,
// and argument records that point at themselves and end their text.

#include "engine/MemoryScriptSource.h"
#include "engine/Script.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkEvent(const ScriptEvent& e)
{
    int type = static_cast<int>(e.type);
    check(type >= 1 && type <= 6);
    check(e.args.argPointer == e.args.args);
    check(std::memchr(e.args.text, '\0', sizeof e.args.text) != nullptr);
    check(e.args.count >= 0);
    if (e.args.count > 0)
        check(e.args.text[0] == '\0');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MemoryScriptSource source;
    const char* text = reinterpret_cast<const char*>(data);
    size_t start = 0;
    int index = 0;
    for (size_t i = 0; i <= size && index < 4; ++i) {
        if (i == size || data[i] == 0x01) {
            source.addFile("f" + std::to_string(index++), std::string(text + start, i - start));
            start = i + 1;
        }
    }

    Script script("f0", source, Script::ErrorMode::Report, 64);
    check(script.ok() == script.errorText().empty());

    int previous = 0;
    bool first = true;
    for (const ScriptEvent* e : script.timeline()) {
        checkEvent(*e);
        check(first || e->time >= previous);
        check(e->time != 0);
        previous = e->time;
        first = false;
    }
    for (const ScriptEvent* e : script.setupEvents()) {
        checkEvent(*e);
        check(e->time == 0);
        check(e->type == EventType::Signal || e->type == EventType::SetLayer);
    }
    return 0;
}
