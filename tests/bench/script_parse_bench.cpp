// Parsing a script of 10,000 timeline lines: the player parses the whole
// script at every start and restart, so this must stay well under 100 ms.
//
//   build/tests/bench_script_parse_bench

#include "engine/MemoryScriptSource.h"
#include "engine/Script.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// A production-like script: defines for effect ids, a setup section, and a
// timeline that mixes starts, stops, signals with argument lists, text
// signals, expressions, offsets and comments on a 480 ms beat.
std::string makeScript(int timelineLines)
{
    std::string s = "// generated for the parse benchmark\n";
    const char* names[] = {"CLEAR", "FADE", "FLASH", "SCENE", "GLOW", "PATTERN", "NOISE", "TREE"};
    for (int i = 0; i < 8; ++i)
        s += "DEFINE " + std::string(names[i]) + " " + std::to_string(i * 7 + 3) + "\n";
    s += "DEFINE BEAT 480\nDEMOSTART 0\nSETUP\n";
    for (int i = 0; i < 8; ++i)
        s += "0 SET_LAYER " + std::string(names[i]) + " " + std::to_string(i + 1) + "\n";
    s += "0 s GLOW 70 SCENE\nTIMELINE\n";
    int written = 0;
    for (int bar = 0; written < timelineLines; ++bar) {
        if (bar % 16 == 0) {
            s += "TIMEOFFSET " + std::to_string(bar * 1920) + "\n// section " + std::to_string(bar / 16) + "\n";
        }
        int base = (bar % 16) * 1920 + 1;
        const std::string n = names[bar % 8];
        const std::string lines[] = {
            std::to_string(base) + " START " + n,
            std::to_string(base) + " + BEAT s " + n + " 206 255 128 64 255 " + std::to_string(base) + " 480 3 50 150",
            std::to_string(base) + " + BEAT * 2 s FLASH 407 " + std::to_string(base) + " 49",
            std::to_string(base) + " + 1500 s PATTERN 406 p1010",
            std::to_string(base) + " + 1900 END " + n,
        };
        for (const std::string& line : lines) {
            if (written++ < timelineLines)
                s += line + "\n";
        }
    }
    s += "LINETIME\nanything after this is ignored\n";
    return s;
}

void BM_ParseScript(benchmark::State& state)
{
    MemoryScriptSource source;
    source.addFile("data/testscript.scr", makeScript(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        Script script("data/testscript.scr", source, Script::ErrorMode::Report);
        if (!script.ok() || script.timeline().size() != static_cast<size_t>(state.range(0)))
            state.SkipWithError(script.errorText().c_str());
        benchmark::DoNotOptimize(script.timeline().data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(source.files.begin()->second.size()));
}
BENCHMARK(BM_ParseScript)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same through the file layer, as the player reads it from disk.
void BM_ParseScriptFromDisk(benchmark::State& state)
{
    std::string path = "script_parse_bench." + std::to_string(getpid()) + ".scr";
    std::string text = makeScript(static_cast<int>(state.range(0)));
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    for (auto _ : state) {
        Script script(path.c_str());
        benchmark::DoNotOptimize(script.timeline().data());
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ParseScriptFromDisk)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
