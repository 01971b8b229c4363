#include "platform/FolderWatch.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr uint32_t kFileEvents = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY;
// What makes or takes away a name in a folder.
constexpr uint32_t kNameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

bool isFolder(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool FolderWatch::open(const std::string& folder, std::string& error)
{
    root = folder;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    if (!openNotifications(error))
        return false;
    struct stat st;
    if (stat(root.c_str(), &st) != 0) {
        error = root + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = root + ": not a folder";
        return false;
    }
    addFolder(root);
    if (folders.empty()) {
        error = root + ": " + std::strerror(errno);
        return false;
    }
    // Without the parent's watch the root is still watched; only a folder
    // put in its place would go unheard.
    std::string parent;
    splitPath(root, parent, rootName);
    if (!rootName.empty() && rootName != "." && rootName != "..")
        parentWatch = inotify_add_watch(notifyFd, parent.c_str(), kNameEvents | IN_ONLYDIR);
    return true;
}

void FolderWatch::addFolder(const std::string& folder)
{
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    if (!walked.insert({st.st_dev, st.st_ino}).second)
        return;
    int wd = inotify_add_watch(notifyFd, folder.c_str(), kFileEvents | IN_ONLYDIR);
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
        if (entry->d_name[0] == '.')
            continue;
        // A link is followed to a folder; addFolder looks at what it is.
        if (entry->d_type == DT_DIR || entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            addFolder(folder + "/" + entry->d_name);
    }
    closedir(dir);
}

void FolderWatch::watchAgain()
{
    // A folder still in the tree keeps its watch (the kernel hands back the
    // same descriptor), so nothing written meanwhile goes unheard; only the
    // watches of folders no longer under the root's names are dropped.
    std::map<int, std::string> before;
    before.swap(folders);
    walked.clear();
    addFolder(root);
    for (const auto& [wd, folder] : before) {
        if (folders.find(wd) == folders.end())
            inotify_rm_watch(notifyFd, wd);
    }
}

bool FolderWatch::drain()
{
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    bool again = false; // a folder came, went or was put in another's place
    for (;;) {
        ssize_t got = read(notifyFd, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) {
                // Notifications were lost, folders made among them too.
                changed = again = true;
                continue;
            }
            if (event->wd == parentWatch) {
                if (event->len > 0 && rootName == event->name)
                    changed = again = true;
                continue;
            }
            // A watch ended: its folder is gone, or it was dropped here.
            if (event->mask & IN_IGNORED)
                continue;
            changed = true;
            auto folder = folders.find(event->wd);
            if (again || event->len == 0 || !(event->mask & kNameEvents) || folder == folders.end())
                continue;
            // Files written into a new folder before it is watched are read
            // by the check that follows anyway.
            const std::string path = folder->second + "/" + event->name;
            if ((event->mask & IN_ISDIR) || ((event->mask & (IN_CREATE | IN_MOVED_TO)) && isFolder(path)) ||
                std::any_of(folders.begin(), folders.end(), [&](const auto& f) { return f.second == path; }))
                again = true;
        }
    }
    if (again)
        watchAgain();
    return changed;
}

} // namespace platform
