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
//
// One thread waits in waitForChange; stop() may be called from another
// thread to end the wait.

#include <map>
#include <set>
#include <string>
#include <utility>

namespace platform {

class FolderWatch {
public:
    FolderWatch() = default;
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // False (with the reason in `error`) when the folder cannot be watched.
    bool open(const std::string& root, std::string& error);
    // Waits until a file under the root is written, made, deleted or moved,
    // then lets further notifications settle for quietMs (an editor writes a
    // file in several steps) and takes them with it. False once stop() was called.
    bool waitForChange(int quietMs);
    void stop();

private:
    void addFolder(const std::string& folder);
    void addTree(const std::string& folder);
    // Drops every watch under the root and watches the folders that now
    // carry the names.
    void watchAgain();
    // Reads what is pending; true when it told of a change to a file.
    bool drain();

    std::string root;
    std::string rootName;  // the root's name in its parent folder
    int parentWatch = -1;  // the parent folder, for the root's name only
    int notifyFd = -1;
    int stopFd = -1; // an eventfd that stop() signals
    std::map<int, std::string> folders; // watch descriptor -> folder
    std::set<std::pair<unsigned long long, unsigned long long>> walked; // device, inode of each watched folder
};

} // namespace platform
