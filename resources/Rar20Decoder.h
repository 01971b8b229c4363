#pragma once
// The RAR 2.0 decompressor: LZ77 over a 1 MiB sliding window with canonical
// Huffman codes, plus an audio mode that codes each byte as the error of an
// adaptive linear predictor, per channel.
//
// How it works: a member's bit stream (most significant bit first) opens with
// code tables (each table's lengths coded against the previous ones), then
// symbols: literals, matches (length slot plus distance slot, each with extra
// bits), repeats of one of the last four distances, short matches of length 2,
// and a switch to new tables. The window, the tables, the last distances and
// the predictors survive from one member to the next in a solid archive, whose
// members are decoded in order; each member's bits start on a byte boundary.
//
// The decoder is bounded on any input: it never reads more than a few bytes
// past the packed data (the caller supplies zeroed padding), fails as soon as
// the bit position passes the end of the packed data, and fails on a match
// that would run past the member's unpacked size.

#include "resources/ArchiveFormat.h"
#include "resources/Rar20Audio.h"

#include <cstddef>
#include <cstdint>

class Rar20Decoder {
public:
    // Zero bytes the caller must provide readable after the packed data.
    static constexpr size_t kInputPadding = 32;

    Rar20Decoder();
    ~Rar20Decoder();
    Rar20Decoder(const Rar20Decoder&) = delete;
    Rar20Decoder& operator=(const Rar20Decoder&) = delete;

    // Takes the window this thread's previous decoder left (cleared), or
    // allocates one; false when memory is short. The window goes back to the
    // thread when the decoder is destroyed.
    bool init();

    // Decodes one member of `packedSize` bytes (followed by kInputPadding zero
    // bytes) producing `unpackedSize` bytes into the window, and into `out`
    // when it is not null. A member without `solid` starts from a cleared
    // window and fresh state and reads its tables first; a solid one continues
    // from the previous member. Returns false on a corrupt stream.
    bool decode(const unsigned char* packed, size_t packedSize, uint32_t unpackedSize, bool solid,
                unsigned char* out);

private:
    // Canonical Huffman decoder built from code lengths. `limit[n]` is the
    // first 16-bit code value beyond the codes of length n, `first[n]` the
    // index in `symbols` of the first code of that length. The fast table maps
    // the first 10 bits of the input to symbol and length for codes up to 10
    // bits; longer codes fall back to the comparison over the limits.
    struct Huffman {
        static constexpr unsigned kFastBits = 10;
        uint32_t limit[16];
        uint32_t first[16];
        uint16_t symbols[archive::kLiteralCodes];
        uint16_t fast[1u << kFastBits]; // symbol << 4 | length, 0 when longer than kFastBits
        uint32_t count;
        void build(const unsigned char* lengths, unsigned n);
    };

    void reset();
    uint32_t peek16() const;
    void consume(unsigned bits) { bitPos_ += bits; }
    uint32_t getBits(unsigned bits); // 1 to 16 bits
    bool exhausted() const { return bitPos_ > endBits_; }
    unsigned decodeSymbol(const Huffman& h);
    bool readTables();
    bool copyMatch(uint32_t length, uint32_t distance);
    void flush();

    // Input of the current member.
    const unsigned char* in_ = nullptr;
    size_t bitPos_ = 0;
    size_t endBits_ = 0;

    // Output of the current member.
    unsigned char* out_ = nullptr;
    size_t outPos_ = 0;
    uint32_t flushedPtr_ = 0; // window position up to which bytes went to out_
    int64_t remaining_ = 0;

    // State kept across the members of a solid archive.
    unsigned char* window_ = nullptr;
    uint32_t windowDirty_ = 0; // bytes from the window's start written since it was last cleared
    uint32_t unpPtr_ = 0;
    uint32_t oldDist_[4] = {};
    unsigned oldDistPtr_ = 0;
    uint32_t lastDist_ = 0;
    uint32_t lastLength_ = 0;
    unsigned char oldTable_[archive::kMaxTableSize] = {};
    bool tablesValid_ = false;
    bool audio_ = false;
    unsigned channels_ = 1;
    unsigned curChannel_ = 0;
    int channelDelta_ = 0;
    Rar20AudioChannel audioState_[archive::kMaxChannels] = {};

    Huffman literal_, distance_, repeat_, pre_;
    Huffman audioCodes_[archive::kMaxChannels];
};
