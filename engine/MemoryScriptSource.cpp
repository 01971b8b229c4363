#include "engine/MemoryScriptSource.h"

bool MemoryScriptSource::readFile(const char* name, std::string& text)
{
    ++reads;
    auto it = files.find(name);
    if (it == files.end())
        return false;
    text = it->second;
    return true;
}
