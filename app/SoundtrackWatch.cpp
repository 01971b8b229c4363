#include "app/SoundtrackWatch.h"

#include "engine/DemoEngine.h"

#include <cstdio>
#include <sys/stat.h>

namespace {

// An exporter writes the file in several steps; the reopen waits for them
// to settle.
constexpr int kQuietMs = 150;

} // namespace

SoundtrackWatch::~SoundtrackWatch()
{
    if (thread.joinable()) {
        file.stop();
        thread.join();
    }
}

void SoundtrackWatch::start(const std::string& soundtrack)
{
    path = soundtrack;
    std::string error;
    if (!file.open(path, error)) {
        std::fprintf(stderr, "warning: cannot watch %s: %s\n", path.c_str(), error.c_str());
        return;
    }
    thread = std::thread([this] { run(); });
}

SoundtrackWatch::Version SoundtrackWatch::versionOnDisk() const
{
    Version v;
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return v;
    v.present = true;
    v.inode = st.st_ino;
    v.size = st.st_size;
    v.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    return v;
}

void SoundtrackWatch::run()
{
    // The run opened the file just before: that is the version it plays.
    Version playing = versionOnDisk();
    while (file.waitForChange(kQuietMs)) {
        const Version now = versionOnDisk();
        // Gone is not new: the export that brings it back is.
        if (!now.present || now == playing)
            continue;
        playing = now;
        changed.store(true, std::memory_order_release);
    }
}

bool SoundtrackWatch::apply(DemoEngine& engine, int nowMs)
{
    if (!changed.exchange(false, std::memory_order_acquire))
        return false;
    if (!engine.reopenMusic(path.c_str())) {
        std::fprintf(stderr, "warning: the new %s does not open as Ogg Vorbis; it is opened when it changes again\n",
                     path.c_str());
        return false;
    }
    std::printf("soundtrack reloaded at %d ms\n", nowMs);
    std::fflush(stdout);
    return true;
}
