#include "app/FrameCapture.h"

#include "gl/PngWriter.h"
#include "gl/WindowTarget.h"

#include <GL/gl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

FrameCapture::FrameCapture(const std::string& d, int f, int to, int den)
    : dir(d)
    , fps(f)
    , fpsDen(den)
    , toMs(to)
{
    if (isVideoFileName(dir))
        video = new VideoExport(dir, fps, fpsDen);
}

FrameCapture::~FrameCapture()
{
    delete video;
}

void FrameCapture::install()
{
    setActiveClock(&clock);
}

bool FrameCapture::prepare()
{
    if (video)
        return video->prepare();
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "vplayer: cannot create capture folder '%s'\n", dir.c_str());
        return false;
    }
    pathBuffer.reserve(dir.size() + 32);
    return true;
}

int FrameCapture::frameTimeMs(int k) const
{
    return fromMs + static_cast<int>(static_cast<int64_t>(k) * 1000 * fpsDen / fps);
}

void FrameCapture::begin(int demoStart, int from)
{
    demoStartMs = demoStart;
    fromMs = from;
    startCounter = clock.counter();
    frame = 0;
    positionClock();
    if (video) {
        // Frames whose time lies at or before the end.
        int endMs = toMs >= 0 ? toMs : endHintMs;
        int total = endMs >= fromMs ? static_cast<int>(static_cast<int64_t>(endMs - fromMs) * fps / (1000LL * fpsDen)) + 1
                                    : 0;
        progress.begin(total);
    }
}

void FrameCapture::positionClock()
{
    // Microsecond ticks: the timer's truncating division then gives exactly
    // from + floor(k * 1000 / fps) milliseconds of demo time.
    int64_t us = static_cast<int64_t>(fromMs - demoStartMs) * 1000 + static_cast<int64_t>(frame) * 1000000 * fpsDen / fps;
    clock.set(startCounter + us);
}

void FrameCapture::captureFrame(int width, int height)
{
    // The whole picture, whatever viewport the last effect left.
    if (width <= 0 || height <= 0) {
        writeFailed = true;
        return;
    }
    size_t bytes = static_cast<size_t>(width) * height * 4;
    if (pixels.size() != bytes)
        pixels.resize(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    selectWindowColourBuffers();
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());

    if (video) {
        if (!video->started()) {
            if (!video->start(width, height)) {
                writeFailed = true;
                return;
            }
        } else if (video->width() != width || video->height() != height) {
            std::fprintf(stderr, "vplayer: the picture changed size during the capture of '%s'\n", dir.c_str());
            writeFailed = true;
            return;
        }
        if (!video->writeFrame(pixels.data())) {
            writeFailed = true;
            return;
        }
        ++frame;
        positionClock();
        progress.frameDone(frame);
        return;
    }

    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", frame);
    pathBuffer.assign(dir);
    pathBuffer.append(name);
    if (!writePNG(pathBuffer.c_str(), width, height, pixels.data())) {
        std::fprintf(stderr, "vplayer: cannot write '%s'\n", pathBuffer.c_str());
        writeFailed = true;
    }
    ++frame;
    positionClock();
}

bool FrameCapture::finished() const
{
    if (writeFailed)
        return true;
    return toMs >= 0 && frameTimeMs(frame) > toMs;
}

bool FrameCapture::finishVideo(const std::string& soundtrackPath, int musicFromMs)
{
    if (!video)
        return true;
    if (!video->started()) {
        std::fprintf(stderr, "vplayer: no frame captured for '%s'\n", dir.c_str());
        return false;
    }
    bool ok = video->finish(soundtrackPath, musicFromMs, frame);
    if (ok)
        progress.end(dir.c_str(), frame, static_cast<double>(frame) * fpsDen / fps);
    return ok;
}
