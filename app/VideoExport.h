#pragma once
// Capture straight to a video file: the frames go down a pipe to ffmpeg as
// raw RGBA (bottom row first, as GL reads them), which encodes H.264; once
// the frames are done, the soundtrack's segment they cover (from the first
// frame's demo time for exactly frames / fps seconds, silence before demo
// time 0 and after the song's end) is muxed in as AAC. Two steps because
// the number of frames is only known at the end: the video is first written
// to OUT.part beside the output (an MP4 without sound, whatever OUT's
// container), then copied together with the sound into OUT, and the part
// file is removed. A player killed outright leaves the part file; the next
// capture to OUT replaces it.
//
// A stop that reaches ffmpeg too (a service manager or batch system signals
// the whole process group) makes it end its file early but properly, with
// fewer frames than were sent: when the player was interrupted as well,
// those frames are what the output keeps.
//
// Owned by the frame capture; lives for one capture.

#include "platform/ChildProcess.h"

#include <cstdint>
#include <string>
#include <vector>

// True when the name ends in a container ffmpeg writes H.264 and AAC into
// (.mp4, .m4v, .mov, .mkv, .avi, .ts), case ignored.
bool isVideoFileName(const std::string& name);

// "N" or "N/D" with positive integers and a rate between 1/1000 and 1000
// frames per second (60000/1001 for NTSC).
bool parseFrameRate(const char* text, int& num, int& den);

// The ffmpeg command lines, argv[0] included.
std::vector<std::string> videoEncodeCommand(const std::string& videoPath, int width, int height, int fpsNum,
                                            int fpsDen);
// soundPath empty: no sound. fromMs is the music position of the first frame.
std::vector<std::string> videoMuxCommand(const std::string& videoPath, const std::string& soundPath, int fromMs,
                                         int frames, int fpsNum, int fpsDen, const std::string& outPath);

// The message for a machine without ffmpeg.
extern const char* const kFfmpegMissing;

class VideoExport {
public:
    VideoExport(const std::string& outPath, int fpsNum, int fpsDen);
    // A capture that failed half way leaves no temporary files behind.
    ~VideoExport();

    // False (message on stderr) when ffmpeg cannot be found.
    bool prepare() const;
    // Starts the encoder with the first frame's size.
    bool start(int width, int height);
    bool started() const { return encoder.running(); }
    int width() const { return frameWidth; }
    int height() const { return frameHeight; }
    // One frame of width * height * 4 bytes.
    bool writeFrame(const uint8_t* rgba);
    // Ends the encoder and writes the output with `frames` frames, with the
    // soundtrack read from soundPath from its position fromMs (empty: silent).
    // Removes the part file whatever happens.
    bool finish(const std::string& soundPath, int fromMs, int frames);
    // The frames the output holds after finish(): `frames`, or fewer when
    // the encoder was stopped by the signal that interrupted the player.
    int framesKept() const { return keptFrames; }

private:
    std::string outPath;
    std::string videoPath; // the frames alone, before the sound is added: OUT.part
    int fpsNum;
    int fpsDen;
    int frameWidth = 0;
    int frameHeight = 0;
    int keptFrames = 0;
    platform::ChildProcess encoder;
};
