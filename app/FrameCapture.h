#pragma once
// Capture: the demo plays on a clock that moves one fixed step per frame, so
// frame k shows demo time from + k * 1000 / fps whatever real time does. Each
// finished picture is read back before the swap and written as
// DIR/frame_000000.png, DIR/frame_000001.png, ...; when DIR names a video
// file (out.mp4) the frames go to ffmpeg instead (VideoExport.h). Beside
// frames in a folder the run adds the soundtrack they cover as
// DIR/audio.wav (CaptureSoundtrack.h).
//
// The frame rate is a fraction, fpsNum / fpsDen frames a second
// (60000/1001 for NTSC video).
//
// The clock is installed before the engine exists; the run calls begin()
// right after it started the demo timer, asks finished() after each frame,
// and flush() once the last frame is drawn, while the window still exists.
//
// DIR /dev/null draws every frame as a capture does and reads none back:
// nothing is written, and the run's wall time is what drawing the frames
// alone costs, the baseline that a capture's cost is measured against.
//
// Pictures come back through a ring of pixel buffers (FrameReadback.h) and
// are written on worker threads (FrameWriter.h): PNGs compressed on several,
// a video's raw frames fed to ffmpeg on one, so drawing goes on while ffmpeg
// is busy. The frames reach their files a little after they were drawn;
// flush() waits for them.

#include "app/CaptureProgress.h"
#include "app/FrameReadback.h"
#include "app/FrameWriter.h"
#include "app/VideoExport.h"
#include "engine/TimeGrid.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

class FrameCapture final : private FrameSink {
public:
    FrameCapture(const std::string& dir, int fps, int toMs, int fpsDen = 1);
    ~FrameCapture();

    // Installs the fixed-step clock as the process clock.
    void install();
    // Creates the folder, or finds ffmpeg for a video; false (with a
    // message on stderr) when it cannot.
    bool prepare();
    // Where the demo ends, for the progress line (-1: not known).
    void setEndHint(int endMs) { endHintMs = endMs; }
    // Positions the clock on frame 0, which shows demo time fromMs;
    // timerOffsetMs is where the demo clock was set to start.
    void begin(int timerOffsetMs, int fromMs);
    // Reads the width x height picture of the frame just drawn from the
    // window's target (the back buffer or the demo's framebuffer) and
    // advances to the next one.
    void captureFrame(int width, int height);
    // True once the next frame would lie past --to, or writing failed.
    bool finished() const;
    // Reads back and writes every frame still on its way; false (message
    // printed) when one could not be written. Needs the GL context.
    bool flush();

    int framesWritten() const { return frame; }
    int firstFrameMs() const { return fromMs; }
    int frameTimeMs(int k) const;
    // Where the capture stands: the demo time of the last frame written, or,
    // before the first, that of frame 0 (a run stopped while building shows
    // no time before its --from).
    int lastFrameTimeMs() const { return frameTimeMs(std::max(frame - 1, 0)); }
    // The demo times of the frames of a capture whose frame 0 is at fromMs.
    TimeGrid frameGrid(int fromMs) const { return TimeGrid(fromMs, fps, fpsDen); }
    bool failed() const { return writeFailed || (writer && writer->failed()); }
    bool writesVideo() const { return video != nullptr; }
    // Draws only: --capture /dev/null.
    bool discards() const { return discard; }
    // Completes a video: the encoder finished and the frames' segment of the
    // soundtrack file muxed in from the music's position `musicFromMs` (empty
    // path: silent). True for frame folders. Afterwards framesWritten() is
    // what the video holds: fewer than were drawn when a signal stopped
    // ffmpeg too, none when it failed.
    bool finishVideo(const std::string& soundtrackPath, int musicFromMs);

private:
    void positionClock();
    bool takeFrame(int index, const uint8_t* rgba, int width, int height) override;

    std::string dir;
    int fps;    // frames per fpsDen seconds
    int fpsDen;
    int endHintMs = -1;
    int fromMs = 0;
    int toMs;
    int demoStartMs = 0;
    int64_t startCounter = 0;
    int frame = 0;
    bool writeFailed = false;
    bool discard = false;
    FixedStepClock clock;
    int videoWidth = 0; // the size of the first frame of a video
    int videoHeight = 0;
    std::vector<uint8_t> pixels; // one RGBA frame for a video without the ring
    FrameReadback readback;
    bool readbackTried = false;
    VideoExport* video = nullptr;   // owned; only when writing a video file
    FrameWriter* writer = nullptr;  // owned; PNG files, or the video's frames to ffmpeg
    CaptureProgress progress;
};
