#pragma once
// Changes to one file, from the kernel's file notifications (inotify) on the
// folder that holds it: a file saved by writing it anew and one replaced by
// a rename under its name both count; a symbolic link is followed to the
// file it names. No polling, nothing read until the folder changes.
//
// One thread waits in waitForChange; stop() may be called from another
// thread to end the wait.

#include <string>

namespace platform {

class FileWatch {
public:
    FileWatch() = default;
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // False (with the reason in `error`) when the file's folder cannot be watched.
    bool open(const std::string& path, std::string& error);
    // Waits until the file is written, made, deleted or moved, then lets
    // further notifications settle for quietMs (an exporter writes a file in
    // several steps). False once stop() was called.
    bool waitForChange(int quietMs);
    void stop();

private:
    // Reads what is pending; true when it told of a change to the file.
    bool drain();

    int notifyFd = -1;
    int stopFd = -1; // an eventfd that stop() signals
    std::string name; // of the file in its folder
};

} // namespace platform
