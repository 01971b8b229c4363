#pragma once
// Script files read whole through the virtual file layer (disk or archive).

#include "engine/ScriptSource.h"

class VFileScriptSource : public ScriptSource {
public:
    bool readFile(const char* name, std::string& text) override;
};
