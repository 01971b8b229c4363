#pragma once
// A record of demo time against wall time, for measuring how the picture
// keeps up with the sound: with VP_CLOCK_TRACE=FILE set, every frame notes
// the wall clock (ns since the epoch) and the demo time it drew, and every
// start of the music notes where it started. A frame whose cast differs from
// the frame before's (an effect on a layer started or stopped) notes that
// first, so that frame times can be judged between scene changes. Kept in
// memory (room for a few hours of frames is reserved up front) and written
// as text when the run ends:
//   music <wall ns> <demo ms>
//   cast <wall ns> <demo ms>
//   frame <wall ns> <demo ms>

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

class ClockTrace {
public:
    // Reads VP_CLOCK_TRACE; without it every call does nothing.
    ClockTrace();
    ~ClockTrace();

    bool enabled() const { return !path.empty(); }
    void musicStarted(int demoMs) { note(kMusic, demoMs); }
    void frameDrawn(int demoMs);

private:
    enum Kind : int32_t { kFrame, kMusic, kCast };
    struct Record {
        int64_t wallNs;
        int32_t kind;
        int32_t demoMs;
    };
    void note(Kind kind, int demoMs);
    void write();

    std::string path;
    std::vector<Record> records;
    std::bitset<128> cast; // the running effects on a layer at the last frame
};
