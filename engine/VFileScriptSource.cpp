#include "engine/VFileScriptSource.h"

#include "resources/VFile.h"

bool VFileScriptSource::readFile(const char* name, std::string& text)
{
    VFile file(name);
    if (!file.valid)
        return false;
    if (file.size == 0 || !file.data)
        text.clear();
    else
        text.assign(reinterpret_cast<const char*>(file.data), file.size);
    return true;
}
