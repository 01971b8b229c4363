#include "StagingFolder.h"

#include <random>

namespace fs = std::filesystem;

StagingFolder::StagingFolder(const fs::path& release)
    : release(release)
{
    // The folders it goes in are made as they are needed.
    std::error_code made;
    fs::create_directories(release.parent_path(), made);
    std::random_device random;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const fs::path candidate = release.parent_path() / ("." + release.filename().string() + ".partial-" +
                                                              std::to_string(random() % 1000000));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            staging = candidate;
            return;
        }
        if (ec)
            return; // the parent cannot be written
    }
}

StagingFolder::~StagingFolder()
{
    if (!staging.empty()) {
        std::error_code ec;
        fs::remove_all(staging, ec);
    }
}

fs::path StagingFolder::tarball() const
{
    fs::path path = folder();
    path += ".tar.gz";
    return path;
}

bool StagingFolder::moveIntoPlace(std::string& error)
{
    std::error_code ec;
    fs::path tarballPlace = release;
    tarballPlace += ".tar.gz";
    // rename() would take the place of an empty folder made there meanwhile.
    if (fs::exists(release, ec)) {
        error = release.string() + " appeared while the release was made";
        return false;
    }
    fs::rename(folder(), release, ec);
    if (ec) {
        error = "cannot move the release to " + release.string() + ": " + ec.message();
        return false;
    }
    fs::rename(tarball(), tarballPlace, ec);
    if (ec) {
        error = "cannot move the tarball to " + tarballPlace.string() + ": " + ec.message();
        return false;
    }
    return true;
}
