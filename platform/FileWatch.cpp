#include "platform/FileWatch.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr uint32_t kFileEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY;

} // namespace

bool FileWatch::open(const std::string& given, std::string& error)
{
    // A link is followed: an export rewrites the file it points to, and the
    // link's own folder hears nothing of that.
    std::string path = given;
    if (char* real = realpath(given.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    std::string folder;
    splitPath(path, folder, name);
    if (!openNotifications(error))
        return false;
    if (inotify_add_watch(notifyFd, folder.c_str(), kFileEvents) < 0) {
        error = folder + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool FileWatch::drain()
{
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
        ssize_t got = read(notifyFd, buffer, sizeof buffer);
        if (got <= 0)
            return changed;
        for (ssize_t at = 0; at < got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && name == event->name)
                changed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

} // namespace platform
