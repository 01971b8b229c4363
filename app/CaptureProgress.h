#pragma once
// The progress line of a video capture on the terminal: frames done (of how
// many, when the end is known), capture speed in frames per second of real
// time, and the time left at that speed. Rewritten in place with a carriage
// return at most four times a second; nothing is printed when stderr is not a
// terminal, except the closing line.

#include <chrono>
#include <cstddef>

// Writes the line into out (no newline). totalFrames <= 0: end unknown.
void formatCaptureProgress(char* out, size_t size, int framesDone, int totalFrames, double elapsedSeconds);

class CaptureProgress {
public:
    // totalFrames <= 0 when the end is not known.
    void begin(int totalFrames);
    void frameDone(int framesDone);
    // The closing line with what was written.
    void end(const char* outPath, int framesWritten, double videoSeconds);

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point started;
    Clock::time_point lastPrint;
    int total = 0;
    bool terminal = false;
    bool printed = false;
};
