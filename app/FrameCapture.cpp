#include "app/FrameCapture.h"

#include "app/PngFrameFiles.h"
#include "app/RunOptions.h"
#include "gl/WindowTarget.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

FrameCapture::FrameCapture(const std::string& d, int f, int to, int den)
    : dir(d)
    , fps(f)
    , fpsDen(den)
    , toMs(to)
    , discard(d == kDiscardedCapture)
    , readback(*this)
{
    if (isVideoFileName(dir))
        video = new VideoExport(dir, fps, fpsDen);
}

FrameCapture::~FrameCapture()
{
    // Frames still queued are written before the workers stop.
    delete writer;
    delete video;
}

void FrameCapture::install()
{
    setActiveClock(&clock);
}

bool FrameCapture::prepare()
{
    if (discard)
        return true;
    if (video) {
        if (!video->prepare())
            return false;
        // One worker: the frames go down the pipe in order.
        writer = new FrameWriter(1, [this](int, const uint8_t* rgba, int, int, int) { return video->writeFrame(rgba); });
        return true;
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "vplayer: cannot create capture folder '%s'\n", dir.c_str());
        return false;
    }
    writer = newPngFrameFiles(dir);
    return true;
}

int FrameCapture::frameTimeMs(int k) const
{
    return frameGrid(fromMs).timeOf(k);
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
    if (failed())
        return;
    if (discard) {
        ++frame;
        positionClock();
        return;
    }
    if (video) {
        if (videoWidth == 0) {
            videoWidth = width;
            videoHeight = height;
        } else if (videoWidth != width || videoHeight != height) {
            std::fprintf(stderr, "vplayer: the picture changed size during the capture of '%s'\n", dir.c_str());
            writeFailed = true;
            return;
        }
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    selectWindowColourBuffers();
    if (!readbackTried) {
        readbackTried = true;
        readback.start();
    }

    if (readback.active()) {
        if (!readback.read(frame, width, height))
            writeFailed = true;
    } else if (!video) {
        // Straight into the buffer the worker compresses.
        uint8_t* buffer = writer->acquire(width, height);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, buffer);
        writer->submit(buffer, frame);
    } else {
        size_t bytes = static_cast<size_t>(width) * height * 4;
        if (pixels.size() != bytes)
            pixels.resize(bytes);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        if (!takeFrame(frame, pixels.data(), width, height))
            writeFailed = true;
    }
    ++frame;
    positionClock();
}

bool FrameCapture::takeFrame(int index, const uint8_t* rgba, int width, int height)
{
    if (video && !video->started() && !video->start(width, height))
        return false;
    uint8_t* buffer = writer->acquire(width, height);
    std::memcpy(buffer, rgba, static_cast<size_t>(width) * height * 4);
    writer->submit(buffer, index);
    if (video)
        progress.frameDone(index + 1);
    return !writer->failed();
}

bool FrameCapture::flush()
{
    // Drawing is only done when the renderer has done it.
    if (discard)
        glFinish();
    if (readback.active()) {
        if (!failed() && !readback.flush())
            writeFailed = true;
        readback.release();
    }
    if (writer && !writer->drain())
        writeFailed = true;
    return !failed();
}

bool FrameCapture::finished() const
{
    if (failed())
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
    // Fewer when ffmpeg was stopped along with the player.
    frame = video->framesKept();
    if (ok)
        progress.end(dir.c_str(), frame, static_cast<double>(frame) * fpsDen / fps);
    return ok;
}
