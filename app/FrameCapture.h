#pragma once
// Capture: the demo plays on a clock that moves one fixed step per frame, so
// frame k shows demo time from + k * 1000 / fps whatever real time does. Each
// finished picture is read back before the swap and written as
// DIR/frame_000000.png, DIR/frame_000001.png, ...
//
// The clock is installed before the engine exists; the run calls begin()
// right after it started the demo timer, and asks finished() after each frame.

#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <vector>

class FrameCapture {
public:
    FrameCapture(const std::string& dir, int fps, int toMs);

    // Installs the fixed-step clock as the process clock.
    void install();
    // Creates the folder; false (with a message on stderr) when it cannot.
    bool prepare();
    // Positions the clock on frame 0, which shows demo time fromMs;
    // demoStartMs is the timer's offset.
    void begin(int demoStartMs, int fromMs);
    // Reads the picture of the frame just drawn and advances to the next one.
    void captureFrame();
    // True once the next frame would lie past --to, or writing failed.
    bool finished() const;

    int framesWritten() const { return frame; }
    int frameTimeMs(int k) const;
    bool failed() const { return writeFailed; }

private:
    void positionClock();

    std::string dir;
    int fps;
    int fromMs = 0;
    int toMs;
    int demoStartMs = 0;
    int64_t startCounter = 0;
    int frame = 0;
    bool writeFailed = false;
    FixedStepClock clock;
    std::vector<uint8_t> pixels; // one RGBA frame, kept between frames
    std::string pathBuffer;
};
