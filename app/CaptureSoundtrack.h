#pragma once
// The sound that belongs to a capture: the soundtrack from the first frame's
// demo time for exactly as long as the frames last (frames / fps seconds, the
// rate fps / fpsDen for fractional rates such as 60000/1001),
// so that a video muxed from both stays in step to the sample. Demo time
// before 0 and after the song's end is silence.

#include <string>

// Writes the segment to wavPath. False, with a message on stderr, when the
// soundtrack cannot be decoded or the file cannot be written.
bool writeCaptureSoundtrack(const std::string& oggPath, const std::string& wavPath, int fromMs, int frames,
                            int fps, int fpsDen = 1);
