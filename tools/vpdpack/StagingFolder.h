#pragma once
// A release is made in a hidden folder beside its place and moved there only
// when whole, so that a failure (or an interrupted run) never leaves a
// half-made release under its name, where it would refuse the next try.
#include <filesystem>
#include <string>

class StagingFolder {
public:
    // Makes PARENT/.NAME.partial-XXXXXX for the release PARENT/NAME; made()
    // says whether it could.
    explicit StagingFolder(const std::filesystem::path& release);
    // Removes what is left of it: everything, unless moveIntoPlace ran.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    bool made() const { return !staging.empty(); }
    // The release being made (it has its final name, for the tarball's sake)
    // and its tarball.
    std::filesystem::path folder() const { return staging / release.filename(); }
    std::filesystem::path tarball() const;
    // Moves the folder to its place, then the tarball beside it; false with
    // the reason in `error` when either cannot be moved.
    bool moveIntoPlace(std::string& error);

private:
    std::filesystem::path release;
    std::filesystem::path staging;
};
