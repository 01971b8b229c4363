#include "engine/ScriptDefines.h"

ScriptDefines::ScriptDefines()
{
    entries.reserve(kMaxEntries);
    add("true", "1");
    add("false", "0");
    add("dummy", "99");
}

void ScriptDefines::add(std::string_view name, std::string_view value)
{
    if (entries.size() >= static_cast<size_t>(kMaxEntries))
        return;
    entries.emplace_back(std::string(name.substr(0, kMaxLength)), std::string(value.substr(0, kMaxLength)));
    firstIndex.emplace(entries.back().first, static_cast<int>(entries.size() - 1));
}

const std::string* ScriptDefines::find(std::string_view word) const
{
    auto it = firstIndex.find(word);
    if (it == firstIndex.end())
        return nullptr;
    return &entries[it->second].second;
}
