#include "platform/FileWatch.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr uint32_t kFileEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY;

} // namespace

FileWatch::~FileWatch()
{
    if (notifyFd >= 0)
        close(notifyFd);
    if (stopFd >= 0)
        close(stopFd);
}

bool FileWatch::open(const std::string& given, std::string& error)
{
    // A link is followed: an export rewrites the file it points to, and the
    // link's own folder hears nothing of that.
    std::string path = given;
    if (char* real = realpath(given.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
    notifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    stopFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (notifyFd < 0 || stopFd < 0) {
        error = std::strerror(errno);
        return false;
    }
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

bool FileWatch::waitForChange(int quietMs)
{
    pollfd fds[2] = {{notifyFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    bool changed = false;
    for (;;) {
        // Blocks until something happens; once a change is in, waits only
        // for the quiet spell that ends it.
        int ready = poll(fds, 2, changed ? quietMs : -1);
        if (ready < 0 && errno == EINTR)
            continue;
        if (fds[1].revents)
            return false;
        if (ready <= 0)
            return changed;
        changed = drain() || changed;
    }
}

void FileWatch::stop()
{
    uint64_t one = 1;
    if (write(stopFd, &one, sizeof one) < 0) {
        // The counter cannot overflow with one write per stop.
    }
}

} // namespace platform
