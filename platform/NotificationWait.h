#pragma once
// The wait both file watches share: the kernel's file notifications
// (inotify) on a descriptor of their own, and a stop signal (an eventfd)
// that another thread may give. What a notification means is the watch's
// own business (drain).
//
// One thread waits in waitForChange; stop() may be called from another
// thread to end the wait.

#include <string>

namespace platform {

class NotificationWait {
public:
    NotificationWait(const NotificationWait&) = delete;
    NotificationWait& operator=(const NotificationWait&) = delete;

    // Waits until drain() tells of a change, then lets further
    // notifications settle for quietMs (an editor or an exporter writes a
    // file in several steps) and takes them with it. False once stop() was called.
    bool waitForChange(int quietMs);
    void stop();

protected:
    NotificationWait() = default;
    virtual ~NotificationWait();

    // Makes both descriptors; false with the reason in `error`.
    bool openNotifications(std::string& error);
    // Reads what is pending; true when it told of a change that counts.
    virtual bool drain() = 0;

    // The folder that holds `path` and the name it has there.
    static void splitPath(const std::string& path, std::string& folder, std::string& name);

    int notifyFd = -1;

private:
    int stopFd = -1;
};

} // namespace platform
