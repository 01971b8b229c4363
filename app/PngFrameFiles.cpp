#include "app/PngFrameFiles.h"

#include "gl/PngWriter.h"

#include <cstdio>
#include <memory>

namespace {

int workerCount()
{
    unsigned n = std::thread::hardware_concurrency();
    if (n < 2)
        return 2;
    return n > 8 ? 8 : static_cast<int>(n);
}

// What each worker reuses from frame to frame.
struct Scratch {
    std::string path;
    std::vector<uint8_t> row;
};

} // namespace

FrameWriter* newPngFrameFiles(const std::string& dir)
{
    const int n = workerCount();
    auto scratch = std::make_shared<std::vector<Scratch>>(static_cast<size_t>(n));
    auto reported = std::make_shared<std::atomic<bool>>(false);
    for (Scratch& s : *scratch)
        s.path.reserve(dir.size() + 32);
    return new FrameWriter(n, [dir, scratch, reported](int worker, const uint8_t* rgba, int w, int h, int index) {
        Scratch& s = (*scratch)[static_cast<size_t>(worker)];
        char name[32];
        std::snprintf(name, sizeof name, "/frame_%06d.png", index);
        s.path.assign(dir);
        s.path.append(name);
        s.row.resize(static_cast<size_t>(w) * 3);
        if (writePNG(s.path.c_str(), w, h, rgba, s.row.data()))
            return true;
        if (!reported->exchange(true))
            std::fprintf(stderr, "vplayer: cannot write '%s'\n", s.path.c_str());
        return false;
    });
}
