#pragma once
// Soundtracks made on the spot with sox: sine tones at a rate, in a channel
// count and on chosen channels, chained as exporters chain them (files one
// after the other); and the pitch of what comes back.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

// A tone of `hz` for `seconds` at `rate`, in `channels` channels in the
// file's own (Vorbis) order; `onlyChannel` >= 0 puts it on that channel
// alone, silence on the others. False when sox fails.
inline bool makeToneOgg(const std::string& path, int rate, int channels, int hz, double seconds,
                        int onlyChannel = -1)
{
    const std::string tone = "sox -q -n -r " + std::to_string(rate) + " -c 1 -t sox - synth " +
                             std::to_string(seconds) + " sine " + std::to_string(hz) + " vol 0.5";
    std::string remix;
    for (int c = 0; c < channels; ++c)
        remix += onlyChannel < 0 || c == onlyChannel ? " 1" : " 0";
    const std::string command =
        tone + " | sox -q -t sox - -c " + std::to_string(channels) + " '" + path + "' remix" + remix;
    return std::system(command.c_str()) == 0;
}

// The files one after the other in `path`: a chained Ogg stream.
inline bool chainFiles(const std::string& path, std::initializer_list<std::string> links)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::string& link : links) {
        std::ifstream in(link, std::ios::binary);
        if (!in)
            return false;
        out << in.rdbuf();
    }
    return static_cast<bool>(out.flush());
}

// Sign changes of one channel over `frames` frames from frame `from` of
// interleaved samples: twice the pitch per second of them.
inline int zeroCrossings(const std::vector<int16_t>& samples, int channels, int channel, size_t from, size_t frames)
{
    int crossings = 0;
    for (size_t i = from; i + 1 < from + frames && (i + 1) * channels + channel < samples.size(); ++i)
        crossings += (samples[i * channels + channel] < 0) != (samples[(i + 1) * channels + channel] < 0) ? 1 : 0;
    return crossings;
}

// The loudness (root mean square) of one channel over a stretch.
inline double loudness(const std::vector<int16_t>& samples, int channels, int channel, size_t from, size_t frames)
{
    double sum = 0;
    size_t n = 0;
    for (size_t i = from; i < from + frames && i * channels + channel < samples.size(); ++i, ++n)
        sum += double(samples[i * channels + channel]) * samples[i * channels + channel];
    return n ? std::sqrt(sum / n) : 0.0;
}
