#pragma once
// A record of demo time against wall time, for measuring how the picture
// keeps up with the sound: with VP_CLOCK_TRACE=FILE set, every frame notes
// the wall clock (ns since the epoch) and the demo time it drew, and every
// start of the music notes where it started. Kept in memory (room for a few
// hours of frames is reserved up front) and written as text when the run ends:
//   music <wall ns> <demo ms>
//   frame <wall ns> <demo ms>

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
    void frameDrawn(int demoMs) { note(kFrame, demoMs); }

private:
    enum Kind : int32_t { kFrame, kMusic };
    struct Record {
        int64_t wallNs;
        int32_t kind;
        int32_t demoMs;
    };
    void note(Kind kind, int demoMs);
    void write();

    std::string path;
    std::vector<Record> records;
};
