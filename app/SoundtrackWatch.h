#pragma once
// Under --watch the soundtrack is one of the production's files, and a new
// export of it lands while the demo plays. The open music stream knows only
// the file it opened: one rewritten in place leaves it reading new bytes
// through the old file's index (its next seek fails), one replaced under its
// name leaves it playing the old song. So a change to the file opens the
// music afresh, and the demo starts again at the time shown, where the new
// stream is positioned as at any start.
//
// The waiting runs on a thread of its own; a frame only reads one atomic flag.

#include "platform/FileWatch.h"

#include <atomic>
#include <string>
#include <sys/types.h>
#include <thread>

class DemoEngine;

class SoundtrackWatch {
public:
    SoundtrackWatch() = default;
    ~SoundtrackWatch();
    SoundtrackWatch(const SoundtrackWatch&) = delete;
    SoundtrackWatch& operator=(const SoundtrackWatch&) = delete;

    // Watches the soundtrack the run has open; a warning on stderr when it
    // cannot.
    void start(const std::string& path);

    // Before a frame: true when the soundtrack changed and is open again
    // (said on stdout with `nowMs`); the caller starts the demo again at the
    // time shown. A new file that does not open as a soundtrack is reported
    // on stderr and the stream opened before is kept; a later change is
    // tried again.
    bool apply(DemoEngine& engine, int nowMs);

private:
    // What tells one version of the file from another.
    struct Version {
        bool present = false;
        ino_t inode = 0;
        off_t size = 0;
        long long modifiedNs = 0;
        bool operator==(const Version& o) const
        {
            return present == o.present && inode == o.inode && size == o.size && modifiedNs == o.modifiedNs;
        }
    };
    Version versionOnDisk() const;
    void run();

    std::string path;
    platform::FileWatch file;
    std::thread thread;
    std::atomic<bool> changed{false};
};
