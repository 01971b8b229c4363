#include "PackedFiles.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

bool endsWith(const std::string& text, const char* end)
{
    const std::string tail(end);
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace

bool isLeftOutName(const std::string& name)
{
    if (name.empty() || name[0] == '.' || name.back() == '~')
        return true;
    if (name.size() > 1 && name.front() == '#' && name.back() == '#')
        return true;
    return endsWith(name, ".swp") || endsWith(name, ".swo") || endsWith(name, ".bak");
}

bool filesToPack(const fs::path& folder, FolderFiles& out, std::string& error)
{
    out = FolderFiles();
    std::error_code walkError;
    fs::recursive_directory_iterator walk(folder, walkError);
    for (; !walkError && walk != fs::recursive_directory_iterator(); walk.increment(walkError)) {
        const fs::directory_entry& entry = *walk;
        std::error_code ec;
        const bool isFolder = entry.is_directory(ec);
        const std::string path = entry.path().generic_string();
        if (isLeftOutName(entry.path().filename().string())) {
            out.leftOut.push_back(isFolder ? path + "/" : path);
            if (isFolder)
                walk.disable_recursion_pending();
        } else if (entry.is_regular_file(ec)) {
            out.packed.push_back(path);
        }
    }
    if (walkError) {
        error = "cannot read " + folder.string() + ": " + walkError.message();
        return false;
    }
    std::sort(out.packed.begin(), out.packed.end());
    std::sort(out.leftOut.begin(), out.leftOut.end());
    return true;
}
