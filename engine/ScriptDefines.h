#pragma once
// The define table of a script: up to 400 (name, value) pairs, each cut to 99
// characters, filled in order and shared by every file of the script. The
// first entry with a given name wins, so a later DEFINE of the same name, or
// of one of the three built-ins ("true" = "1", "false" = "0", "dummy" = "99"),
// has no effect. Entries beyond the 400th are dropped.

#include <map>
#include <string>
#include <string_view>
#include <vector>

class ScriptDefines {
public:
    static constexpr int kMaxEntries = 400;
    static constexpr size_t kMaxLength = 99;

    ScriptDefines();

    // Appends (name, value) if the table has room.
    void add(std::string_view name, std::string_view value);
    // The value of the first entry named word, or null.
    const std::string* find(std::string_view word) const;
    int count() const { return static_cast<int>(entries.size()); }

private:
    std::vector<std::pair<std::string, std::string>> entries;
    // name -> index of its first entry; the lookup the table scan would make.
    std::map<std::string, int, std::less<>> firstIndex;
};
