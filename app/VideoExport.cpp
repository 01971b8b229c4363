#include "app/VideoExport.h"

#include "platform/Interruption.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

const char* const kFfmpegMissing = "vplayer: video capture needs ffmpeg, which is not installed "
                                   "(Debian package ffmpeg)";

namespace {

std::string lowerExtension(const std::string& name)
{
    size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot + 1 >= name.size())
        return std::string();
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool isMp4Family(const std::string& name)
{
    std::string ext = lowerExtension(name);
    return ext == "mp4" || ext == "m4v" || ext == "mov";
}

// The video frames a finished file holds, counted by copying its packets
// to nowhere (nothing is decoded); -1 when it holds no readable video.
int encodedFrames(const std::string& path)
{
    const std::string ffmpeg = platform::findExecutable("ffmpeg");
    if (ffmpeg.empty())
        return -1;
    std::string output;
    if (platform::runCapturingOutput({ffmpeg, "-hide_banner", "-nostdin", "-loglevel", "error", "-nostats", "-i", path,
                                      "-map", "0:v:0", "-c", "copy", "-f", "null", "-progress", "pipe:1", "-"},
                                     output) != 0)
        return -1;
    // The last report is the final count.
    const size_t at = output.rfind("frame=");
    if (at == std::string::npos)
        return -1;
    return std::atoi(output.c_str() + at + 6);
}

bool parsePositive(const char* begin, const char* end, long& value)
{
    if (begin == end || !std::isdigit(static_cast<unsigned char>(*begin)))
        return false;
    errno = 0;
    char* stop = nullptr;
    value = std::strtol(begin, &stop, 10);
    return errno == 0 && stop == end && value > 0 && value <= 1000000000L;
}

} // namespace

bool isVideoFileName(const std::string& name)
{
    std::string ext = lowerExtension(name);
    return ext == "mp4" || ext == "m4v" || ext == "mov" || ext == "mkv" || ext == "avi" || ext == "ts";
}

bool parseFrameRate(const char* text, int& num, int& den)
{
    if (!text)
        return false;
    const char* end = text;
    while (*end)
        ++end;
    const char* slash = text;
    while (slash != end && *slash != '/')
        ++slash;
    long n = 0, d = 1;
    if (!parsePositive(text, slash, n))
        return false;
    if (slash != end && !parsePositive(slash + 1, end, d))
        return false;
    // Between one frame in 1000 s and 1000 frames a second.
    if (n > 1000L * d || d > 1000L * n)
        return false;
    num = static_cast<int>(n);
    den = static_cast<int>(d);
    return true;
}

std::vector<std::string> videoEncodeCommand(const std::string& videoPath, int width, int height, int fpsNum,
                                            int fpsDen)
{
    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string rate = std::to_string(fpsNum) + "/" + std::to_string(fpsDen);
    // GL rows come bottom first; 4:2:0 chroma needs even sizes, so an odd
    // row or column of black is added (a pass over every frame, so only then).
    std::string filter = "vflip";
    if (width % 2 != 0 || height % 2 != 0)
        filter += ",pad=ceil(iw/2)*2:ceil(ih/2)*2";
    // The encoder shares the processor with the renderer, which on a
    // software renderer uses every core. ultrafast at CRF 18 keeps the
    // picture of veryfast (1920x1080: PSNR 48.9 against 48.3 dB) for a
    // third of the encoder's time, in files about twice as large.
    return {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
            "-f", "rawvideo", "-pix_fmt", "rgba", "-s", size, "-framerate", rate, "-i", "pipe:0",
            "-vf", filter,
            "-c:v", "libx264", "-preset", "ultrafast", "-crf", "18", "-pix_fmt", "yuv420p",
            "-f", "mp4", videoPath};
}

std::vector<std::string> videoMuxCommand(const std::string& videoPath, const std::string& soundPath, int fromMs,
                                         int frames, int fpsNum, int fpsDen, const std::string& outPath)
{
    std::vector<std::string> cmd = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y", "-i", videoPath};
    if (!soundPath.empty()) {
        char number[32];
        if (fromMs > 0) {
            std::snprintf(number, sizeof number, "%d.%03d", fromMs / 1000, fromMs % 1000);
            cmd.insert(cmd.end(), {"-ss", number});
        }
        cmd.insert(cmd.end(), {"-i", soundPath, "-map", "0:v:0", "-map", "1:a:0"});
        // Silence for demo time before 0, and after the song's end; then the
        // whole is cut to the frames' length.
        std::string filter = "apad";
        if (fromMs < 0)
            filter = "adelay=" + std::to_string(-static_cast<long long>(fromMs)) + ":all=1," + filter;
        std::snprintf(number, sizeof number, "%.6f", static_cast<double>(frames) * fpsDen / fpsNum);
        cmd.insert(cmd.end(), {"-af", filter, "-t", number, "-c:a", "aac", "-b:a", "192k"});
    }
    cmd.insert(cmd.end(), {"-c:v", "copy"});
    // The index at the front: players start before the whole file is read.
    if (isMp4Family(outPath))
        cmd.insert(cmd.end(), {"-movflags", "+faststart"});
    cmd.push_back(outPath);
    return cmd;
}

VideoExport::VideoExport(const std::string& out, int num, int den)
    : outPath(out)
    , videoPath(out + ".part")
    , fpsNum(num)
    , fpsDen(den)
{
}

VideoExport::~VideoExport()
{
    encoder.finish();
    std::error_code ec;
    std::filesystem::remove(videoPath, ec);
}

bool VideoExport::prepare() const
{
    if (platform::findExecutable("ffmpeg").empty()) {
        std::fprintf(stderr, "%s\n", kFfmpegMissing);
        return false;
    }
    // Its folder is made as a frame folder would be.
    std::filesystem::path folder = std::filesystem::path(outPath).parent_path();
    std::error_code ec;
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (!folder.empty() && !std::filesystem::is_directory(folder)) {
        std::fprintf(stderr, "vplayer: cannot create the folder of '%s'\n", outPath.c_str());
        return false;
    }
    return true;
}

bool VideoExport::start(int width, int height)
{
    frameWidth = width;
    frameHeight = height;
    if (!encoder.start(videoEncodeCommand(videoPath, width, height, fpsNum, fpsDen), true)) {
        std::fprintf(stderr, "%s\n", kFfmpegMissing);
        return false;
    }
    return true;
}

bool VideoExport::writeFrame(const uint8_t* rgba)
{
    size_t bytes = static_cast<size_t>(frameWidth) * frameHeight * 4;
    if (!encoder.write(rgba, bytes)) {
        // Stopped by the signal that stops the player: the player says so.
        if (!platform::interruptingSignal())
            std::fprintf(stderr, "vplayer: ffmpeg stopped taking frames for '%s'\n", outPath.c_str());
        return false;
    }
    return true;
}

bool VideoExport::finish(const std::string& soundPath, int fromMs, int frames)
{
    keptFrames = frames;
    bool ok = encoder.finish();
    if (!ok && platform::interruptingSignal()) {
        // ffmpeg was signalled with the player and closed its file with the
        // frames it had taken; they are kept (the sound cut to match).
        keptFrames = encodedFrames(videoPath);
        ok = keptFrames > 0;
    }
    if (!ok) {
        keptFrames = 0;
        std::fprintf(stderr, "vplayer: ffmpeg could not encode '%s'\n", outPath.c_str());
    }
    if (ok) {
        platform::ChildProcess mux;
        ok = mux.start(videoMuxCommand(videoPath, soundPath, fromMs, keptFrames, fpsNum, fpsDen, outPath), false) &&
             mux.finish();
        if (!ok) {
            keptFrames = 0;
            std::fprintf(stderr, "vplayer: ffmpeg could not write '%s'\n", outPath.c_str());
        }
    }
    std::error_code ec;
    std::filesystem::remove(videoPath, ec);
    return ok;
}
