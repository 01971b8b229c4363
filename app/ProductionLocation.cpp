#include "app/ProductionLocation.h"

#include "app/ProductionNames.h"
#include "app/ProductionPaths.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const std::string& path, mode_t type)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == type;
}

std::string parentOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

std::string installedProductionFolder(const std::string& executable)
{
    const std::string binDir = parentOf(executable);
    if (binDir.empty())
        return std::string();
    // VP_INSTALLED_PRODUCTION is the production's folder relative to the
    // folder the player is installed in, so that a package moved to another
    // prefix still finds its data.
    return std::filesystem::path(binDir + "/" + VP_INSTALLED_PRODUCTION).lexically_normal().string();
}

bool holdsProduction(const std::string& folder, const std::string& archive, bool loose)
{
    const std::string in = folder + "/";
    if (exists(in + ProductionNames::kFileName, S_IFREG))
        return true;
    return loose ? exists(in + kLooseDataDir, S_IFDIR) : exists(in + archive, S_IFREG);
}

std::string unreadableProduction(const std::string& folder, const std::string& archive, bool loose)
{
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::string();
    const std::string in = folder + "/";
    // Looking into the folder needs the right to search it.
    if (stat((in + ".").c_str(), &st) != 0)
        return std::strerror(errno);
    const std::string data = in + (loose ? kLooseDataDir : archive);
    if (stat(data.c_str(), &st) != 0)
        return std::string();
    const int fd = open(data.c_str(), O_RDONLY | (loose ? O_DIRECTORY : 0));
    if (fd < 0)
        return data.substr(in.size()) + ": " + std::strerror(errno);
    close(fd);
    return std::string();
}

std::string chooseProductionFolder(const std::string& workingFolder, const std::string& installedFolder,
                                   const std::string& archive, bool loose)
{
    if (holdsProduction(workingFolder, archive, loose))
        return workingFolder;
    if (!installedFolder.empty() && holdsProduction(installedFolder, archive, loose) &&
        unreadableProduction(installedFolder, archive, loose).empty())
        return installedFolder;
    return workingFolder;
}

std::string ownExecutable()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return std::string();
    return std::string(path, static_cast<size_t>(n));
}
