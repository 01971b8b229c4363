#pragma once
// Script files held in memory under their names.

#include "engine/ScriptSource.h"

#include <map>
#include <string>

class MemoryScriptSource : public ScriptSource {
public:
    void addFile(const std::string& name, const std::string& text) { files[name] = text; }
    bool readFile(const char* name, std::string& text) override;

    std::map<std::string, std::string> files;
    int reads = 0; // files read so far, found or not
};
