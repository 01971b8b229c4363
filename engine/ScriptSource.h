#pragma once
// Where a Script reads its files from. The player reads through the virtual
// file layer (VFileScriptSource); tests, the fuzzer and the benchmark hand the
// parser texts held in memory (MemoryScriptSource).

#include <string>

class ScriptSource {
public:
    virtual ~ScriptSource() = default;
    // Replaces text with the whole content of the file; false when it cannot
    // be read.
    virtual bool readFile(const char* name, std::string& text) = 0;
};
