#pragma once
// Changes to the files under a folder, from the kernel's file notifications
// (inotify): no polling, nothing read until something changes. The root and
// every folder under it are watched, folders made later as they appear.
//
// One thread waits in waitForChange; stop() may be called from another
// thread to end the wait.

#include <map>
#include <string>

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
    // Reads what is pending; true when it told of a change to a file.
    bool drain();

    int notifyFd = -1;
    int stopFd = -1; // an eventfd that stop() signals
    std::map<int, std::string> folders; // watch descriptor -> folder
};

} // namespace platform
