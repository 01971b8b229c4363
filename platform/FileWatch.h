#pragma once
// Changes to one file, from the kernel's file notifications (inotify) on the
// folder that holds it: a file saved by writing it anew and one replaced by
// a rename under its name both count; a symbolic link is followed to the
// file it names. No polling, nothing read until the folder changes.

#include "platform/NotificationWait.h"

#include <string>

namespace platform {

// waitForChange returns once the file is written, made, deleted or moved.
class FileWatch : public NotificationWait {
public:
    FileWatch() = default;

    // False (with the reason in `error`) when the file's folder cannot be watched.
    bool open(const std::string& path, std::string& error);

private:
    bool drain() override;

    std::string name; // of the file in its folder
};

} // namespace platform
