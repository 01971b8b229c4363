#pragma once
// The RAR 2.0 compressor of the packer: the counterpart of the engine's
// Rar20Decoder, written so that any RAR 2.0 reader accepts its output.
//
// How it works: members are parsed into symbols first, then written. The
// parse looks at each position for the cheapest way on: a literal, a match
// found through hash chains over the 1 MiB window, a match at one of the four
// last distances, the last match again, or a 2-byte match at a short
// distance; one step of lazy evaluation lets a better match one byte later
// win. Costs come from the code lengths of the block before. Every 32768
// symbols a block ends and gets Huffman tables built from its own counts. In
// audio mode each byte is instead coded as the error of the format's predictor,
// with one table per channel.
//
// A solid run of members shares one history and one state; each member's
// bits start on a byte boundary, and every member after the first opens with
// the switch to its own tables, coded with the tables of the member before.
// Building those codes needs the counts of the member before, and so streams
// come out of finish() rather than member by member.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Rar20Encoder {
public:
    enum class Mode { Normal, Audio };

    explicit Rar20Encoder(Mode mode);
    ~Rar20Encoder();

    // Parses one member. The first member starts afresh; every later member
    // of the same encoder is a solid member continuing the ones before.
    void addMember(const unsigned char* data, size_t size);

    // The packed bit streams of the members, in the order they were added.
    std::vector<std::vector<unsigned char>> finish();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
