#include "platform/FolderWatch.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr uint32_t kFileEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY;

} // namespace

FolderWatch::~FolderWatch()
{
    if (notifyFd >= 0)
        close(notifyFd);
    if (stopFd >= 0)
        close(stopFd);
}

bool FolderWatch::open(const std::string& root, std::string& error)
{
    notifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    stopFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (notifyFd < 0 || stopFd < 0) {
        error = std::strerror(errno);
        return false;
    }
    int wd = inotify_add_watch(notifyFd, root.c_str(), kFileEvents);
    if (wd < 0) {
        error = root + ": " + std::strerror(errno);
        return false;
    }
    folders[wd] = root;
    addTree(root);
    return true;
}

void FolderWatch::addFolder(const std::string& folder)
{
    int wd = inotify_add_watch(notifyFd, folder.c_str(), kFileEvents);
    if (wd < 0)
        return;
    folders[wd] = folder;
    addTree(folder);
}

void FolderWatch::addTree(const std::string& folder)
{
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_type != DT_DIR || entry->d_name[0] == '.')
            continue;
        addFolder(folder + "/" + entry->d_name);
    }
    closedir(dir);
}

bool FolderWatch::drain()
{
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    for (;;) {
        ssize_t got = read(notifyFd, buffer, sizeof buffer);
        if (got <= 0)
            return changed;
        for (ssize_t at = 0; at < got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // A new folder is watched from now on; files written into it
            // before that are read by the check that follows anyway.
            if ((event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)) && event->len > 0) {
                auto parent = folders.find(event->wd);
                if (parent != folders.end())
                    addFolder(parent->second + "/" + event->name);
            }
            changed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

bool FolderWatch::waitForChange(int quietMs)
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

void FolderWatch::stop()
{
    uint64_t one = 1;
    if (write(stopFd, &one, sizeof one) < 0) {
        // The counter cannot overflow with one write per stop.
    }
}

} // namespace platform
