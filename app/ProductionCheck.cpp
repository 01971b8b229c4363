#include "app/ProductionCheck.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

std::string missingProductionHint(const ProductionFiles& files, const std::string& folder, bool loose,
                                  bool soundtrack)
{
    const std::string in = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    const bool dataMissing = loose ? !isDirectory(in + files.looseDir) : !isFile(in + files.archive);
    const bool musicMissing = soundtrack && !isFile(in + files.soundtrack);
    if (!dataMissing && !musicMissing)
        return std::string();

    std::string missing;
    if (dataMissing)
        missing = loose ? std::string(files.looseDir) + "/ (the folder --loose reads)" : files.archive;
    if (musicMissing)
        missing += (missing.empty() ? "" : " and ") + std::string(files.soundtrack) + " (the soundtrack)";
    std::string hint = "vplayer: no " + missing + " in " + folder + ": ";
    if (dataMissing)
        return hint + "start the player in a production's folder or name one with --data-dir DIR";
    return hint + "--no-music plays without the soundtrack, --data-dir DIR names a production's folder";
}

void reportMissingProduction(const ProductionFiles& files, bool loose, bool soundtrack)
{
    char cwd[4096];
    const std::string folder = getcwd(cwd, sizeof cwd) ? cwd : ".";
    const std::string hint = missingProductionHint(files, folder, loose, soundtrack);
    if (hint.empty())
        return;
    std::fprintf(stderr, "%s\n", hint.c_str());
    std::fflush(stderr);
}
