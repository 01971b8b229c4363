#include "app/CaptureProgress.h"

#include <cstdio>
#include <unistd.h>

void formatCaptureProgress(char* out, size_t size, int done, int total, double elapsed)
{
    double fps = elapsed > 0.0 ? done / elapsed : 0.0;
    if (total > 0 && done <= total) {
        int pct = static_cast<int>(static_cast<long long>(done) * 100 / total);
        if (fps > 0.0) {
            long left = static_cast<long>((total - done) / fps + 0.5);
            std::snprintf(out, size, "frame %d/%d (%d%%)  %.1f fps  %ld:%02ld left", done, total, pct, fps,
                          left / 60, left % 60);
        } else {
            std::snprintf(out, size, "frame %d/%d (%d%%)", done, total, pct);
        }
    } else {
        std::snprintf(out, size, "frame %d  %.1f fps", done, fps);
    }
}

void CaptureProgress::begin(int totalFrames)
{
    total = totalFrames;
    started = Clock::now();
    lastPrint = started;
    terminal = isatty(STDERR_FILENO) != 0;
    printed = false;
}

void CaptureProgress::frameDone(int done)
{
    if (!terminal)
        return;
    Clock::time_point now = Clock::now();
    if (now - lastPrint < std::chrono::milliseconds(250))
        return;
    lastPrint = now;
    char line[128];
    formatCaptureProgress(line, sizeof line, done, total,
                          std::chrono::duration<double>(now - started).count());
    // Padding wipes what a longer earlier line left behind.
    std::fprintf(stderr, "\r%-60s", line);
    std::fflush(stderr);
    printed = true;
}

void CaptureProgress::end(const char* outPath, int frames, double videoSeconds)
{
    double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    if (printed)
        std::fputc('\n', stderr);
    std::fprintf(stderr, "vplayer: wrote %s: %d frames, %.3f s of video, in %.1f s\n", outPath, frames,
                 videoSeconds, elapsed);
}
