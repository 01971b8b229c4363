#pragma once
// Changes to the files under a folder, from the kernel's file notifications
// (inotify): no polling, nothing read until something changes. The root and
// every folder under it are watched, folders made later as they appear, and
// folders reached through symbolic links too (each folder once, so a link
// back up ends the walk).
//
// Editors and export scripts replace whole folders (`mv data data.old && cp
// -r data.old data`, a link pointed elsewhere): a watch follows a folder, not
// its name, so then the folders are watched again under their names. The
// folder holding the root is watched for the root's own name for that.

#include "platform/NotificationWait.h"

#include <map>
#include <set>
#include <string>
#include <utility>

namespace platform {

// waitForChange returns once a file under the root is written, made,
// deleted or moved.
class FolderWatch : public NotificationWait {
public:
    FolderWatch() = default;

    // False (with the reason in `error`) when the folder cannot be watched.
    bool open(const std::string& root, std::string& error);

private:
    void addFolder(const std::string& folder);
    void addTree(const std::string& folder);
    // Drops every watch under the root and watches the folders that now
    // carry the names.
    void watchAgain();
    bool drain() override;

    std::string root;
    std::string rootName;  // the root's name in its parent folder
    int parentWatch = -1;  // the parent folder, for the root's name only
    std::map<int, std::string> folders; // watch descriptor -> folder
    std::set<std::pair<unsigned long long, unsigned long long>> walked; // device, inode of each watched folder
};

} // namespace platform
