#include "platform/NotificationWait.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

NotificationWait::~NotificationWait()
{
    if (notifyFd >= 0)
        close(notifyFd);
    if (stopFd >= 0)
        close(stopFd);
}

bool NotificationWait::openNotifications(std::string& error)
{
    notifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    stopFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (notifyFd < 0 || stopFd < 0) {
        error = std::strerror(errno);
        return false;
    }
    return true;
}

void NotificationWait::splitPath(const std::string& path, std::string& folder, std::string& name)
{
    const size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool NotificationWait::waitForChange(int quietMs)
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

void NotificationWait::stop()
{
    uint64_t one = 1;
    if (write(stopFd, &one, sizeof one) < 0) {
        // The counter cannot overflow with one write per stop.
    }
}

} // namespace platform
