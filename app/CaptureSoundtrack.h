#pragma once
// The sound that belongs to a capture: the soundtrack from the music position
// of the first frame (its demo time, moved by the run's lead-in) for exactly
// as long as the frames last (frames / fps seconds, the rate fps / fpsDen for
// fractional rates such as 60000/1001), so that a video muxed from both stays
// in step to the sample. Positions before the song's start and after its end
// are silence.

#include <string>

// Writes the segment to wavPath. False, with a message on stderr, when the
// soundtrack cannot be decoded or the file cannot be written.
bool writeCaptureSoundtrack(const std::string& oggPath, const std::string& wavPath, int fromMs, int frames,
                            int fps, int fpsDen = 1);
