#include "resources/Rar20Decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace archive;

// ---- Huffman decoder ------------------------------------------------------

void Rar20Decoder::Huffman::build(const unsigned char* lengths, unsigned n)
{
    unsigned lengthCount[16] = {};
    for (unsigned i = 0; i < n; ++i)
        ++lengthCount[lengths[i] & 15];
    lengthCount[0] = 0;

    // An over-subscribed set of lengths (corrupt data) caps the limits at
    // 0xFFFF; they stay non-decreasing, so decoding is still well defined.
    uint64_t code = 0;
    limit[0] = 0;
    first[0] = 0;
    unsigned next[16];
    next[0] = 0;
    for (unsigned len = 1; len <= kMaxCodeLength; ++len) {
        code = 2 * (code + lengthCount[len]);
        uint64_t m = code << (15 - len);
        limit[len] = m > 0xFFFF ? 0xFFFF : static_cast<uint32_t>(m);
        first[len] = first[len - 1] + lengthCount[len - 1];
        next[len] = first[len];
    }
    std::memset(symbols, 0, sizeof symbols);
    for (unsigned i = 0; i < n; ++i)
        if (lengths[i] & 15)
            symbols[next[lengths[i] & 15]++] = static_cast<uint16_t>(i);
    count = n;

    // Limits of lengths up to kFastBits are multiples of 2^(16 - length) (or
    // 0xFFFF, above every even value), so the first kFastBits bits decide them.
    // The limits never decrease, so the prefixes decoded with each length form
    // one run, from the previous length's limit up to this one's, in which
    // each code of that length takes 2^(kFastBits - length) entries in turn.
    constexpr unsigned kShift = 16 - kFastBits;
    uint32_t p = 0;
    for (unsigned len = 1; len <= kFastBits; ++len) {
        const uint32_t end = std::min<uint32_t>((limit[len] + (1u << kShift) - 1) >> kShift, 1u << kFastBits);
        const uint32_t width = 1u << (kFastBits - len);
        for (uint32_t code = 0; p < end; ++code) {
            uint32_t index = first[len] + code;
            if (index >= count)
                index = 0;
            const uint16_t entry = static_cast<uint16_t>(symbols[index] << 4 | len);
            for (const uint32_t stop = std::min(end, p + width); p < stop; ++p)
                fast[p] = entry;
        }
    }
    for (; p < (1u << kFastBits); ++p)
        fast[p] = 0;
}

// ---- Bit input --------------------------------------------------------------

uint32_t Rar20Decoder::peek16() const
{
    const unsigned char* p = in_ + (bitPos_ >> 3);
    uint32_t v = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
    return (v >> (8 - (bitPos_ & 7))) & 0xFFFF;
}

uint32_t Rar20Decoder::getBits(unsigned bits)
{
    uint32_t v = peek16() >> (16 - bits);
    consume(bits);
    return v;
}

unsigned Rar20Decoder::decodeSymbol(const Huffman& h)
{
    uint32_t v = peek16();
    uint16_t f = h.fast[v >> (16 - Huffman::kFastBits)];
    if (f) {
        consume(f & 15);
        return f >> 4;
    }
    v &= 0xFFFE;
    unsigned len = Huffman::kFastBits + 1;
    while (len < kMaxCodeLength && v >= h.limit[len])
        ++len;
    consume(len);
    uint32_t index = h.first[len] + ((v - h.limit[len - 1]) >> (16 - len));
    if (index >= h.count)
        index = 0;
    return h.symbols[index];
}

// ---- State ------------------------------------------------------------------

namespace {

// The window a finished decoder gave back, zeroed, for the next one on the
// same thread: every extraction runs its own decoder, and a fresh 1 MiB block
// each time is a map, page faults and an unmap per member extracted.
struct SpareWindow {
    unsigned char* data = nullptr;
    ~SpareWindow() { std::free(data); }
};
thread_local SpareWindow spareWindow;

} // namespace

Rar20Decoder::Rar20Decoder() = default;

Rar20Decoder::~Rar20Decoder()
{
    if (!window_)
        return;
    if (spareWindow.data) {
        std::free(window_);
        return;
    }
    std::memset(window_, 0, windowDirty_);
    spareWindow.data = window_;
}

bool Rar20Decoder::init()
{
    if (window_)
        return true;
    if (spareWindow.data) {
        window_ = spareWindow.data;
        spareWindow.data = nullptr;
    } else {
        window_ = static_cast<unsigned char*>(std::calloc(kWindowSize, 1));
    }
    windowDirty_ = 0;
    return window_ != nullptr;
}

void Rar20Decoder::reset()
{
    // The window comes zeroed (from calloc or cleared when given back), and
    // writing starts at its beginning: only the part written since the last
    // clearing needs it.
    std::memset(window_, 0, windowDirty_);
    windowDirty_ = 0;
    unpPtr_ = 0;
    std::memset(oldDist_, 0, sizeof oldDist_);
    oldDistPtr_ = 0;
    lastDist_ = 0;
    lastLength_ = 0;
    std::memset(oldTable_, 0, sizeof oldTable_);
    tablesValid_ = false;
    audio_ = false;
    channels_ = 1;
    curChannel_ = 0;
    channelDelta_ = 0;
    std::memset(audioState_, 0, sizeof audioState_);
}

// ---- Tables -----------------------------------------------------------------

bool Rar20Decoder::readTables()
{
    tablesValid_ = false;
    if (exhausted())
        return false;
    uint32_t header = peek16();
    bool audio = (header & 0x8000) != 0;
    if (!(header & 0x4000))
        std::memset(oldTable_, 0, sizeof oldTable_);
    consume(2);
    unsigned tableSize = kMainTableSize;
    if (audio) {
        channels_ = ((header >> 12) & 3) + 1;
        if (curChannel_ >= channels_)
            curChannel_ = 0;
        consume(2);
        tableSize = kAudioCodes * channels_;
    }

    unsigned char preLengths[kPreCodes];
    for (unsigned i = 0; i < kPreCodes; ++i)
        preLengths[i] = static_cast<unsigned char>(getBits(4));
    pre_.build(preLengths, kPreCodes);

    unsigned char table[kMaxTableSize];
    for (unsigned i = 0; i < tableSize;) {
        if (exhausted())
            return false;
        unsigned sym = decodeSymbol(pre_);
        if (sym < 16) {
            table[i] = static_cast<unsigned char>((sym + oldTable_[i]) & 15);
            ++i;
        } else if (sym == 16) {
            unsigned n = getBits(2) + 3;
            // Nothing precedes the first length; other readers refuse it too.
            if (i == 0)
                return false;
            for (; n > 0 && i < tableSize; --n, ++i)
                table[i] = table[i - 1];
        } else {
            unsigned n = sym == 17 ? getBits(3) + 3 : getBits(7) + 11;
            for (; n > 0 && i < tableSize; --n)
                table[i++] = 0;
        }
    }
    if (exhausted())
        return false;

    audio_ = audio;
    if (audio) {
        for (unsigned c = 0; c < channels_; ++c)
            audioCodes_[c].build(table + c * kAudioCodes, kAudioCodes);
    } else {
        literal_.build(table, kLiteralCodes);
        distance_.build(table + kLiteralCodes, kDistanceCodes);
        repeat_.build(table + kLiteralCodes + kDistanceCodes, kRepeatCodes);
    }
    std::memcpy(oldTable_, table, tableSize);
    tablesValid_ = true;
    return true;
}

// ---- Matches and output -------------------------------------------------------

bool Rar20Decoder::copyMatch(uint32_t length, uint32_t distance)
{
    oldDist_[oldDistPtr_++ & 3] = distance;
    lastDist_ = distance;
    lastLength_ = length;
    // The encoder never crosses the end of a member; a stream that does is
    // corrupt, and its surplus would land in the next solid member's history.
    if (static_cast<int64_t>(length) > remaining_)
        return false;
    remaining_ -= length;
    uint32_t src = (unpPtr_ - distance) & kWindowMask;
    if (src + length <= kWindowSize && unpPtr_ + length <= kWindowSize) {
        unsigned char* d = window_ + unpPtr_;
        const unsigned char* s = window_ + src;
        // Distances are taken modulo the window, so a distance near its size
        // reads just ahead of the write position: the two ranges can overlap
        // from either side, not only when the distance is below the length.
        if (src + length <= unpPtr_ || unpPtr_ + length <= src) {
            std::memcpy(d, s, length);
        } else {
            // Overlapping: each byte may be one this copy just wrote.
            for (uint32_t i = 0; i < length; ++i)
                d[i] = s[i];
        }
        unpPtr_ = (unpPtr_ + length) & kWindowMask;
    } else {
        for (uint32_t i = 0; i < length; ++i) {
            window_[unpPtr_] = window_[src];
            unpPtr_ = (unpPtr_ + 1) & kWindowMask;
            src = (src + 1) & kWindowMask;
        }
    }
    return true;
}

void Rar20Decoder::flush()
{
    if (!out_) {
        flushedPtr_ = unpPtr_;
        return;
    }
    if (unpPtr_ < flushedPtr_) {
        std::memcpy(out_ + outPos_, window_ + flushedPtr_, kWindowSize - flushedPtr_);
        outPos_ += kWindowSize - flushedPtr_;
        flushedPtr_ = 0;
    }
    std::memcpy(out_ + outPos_, window_ + flushedPtr_, unpPtr_ - flushedPtr_);
    outPos_ += unpPtr_ - flushedPtr_;
    flushedPtr_ = unpPtr_;
}

// ---- Main loop ----------------------------------------------------------------

bool Rar20Decoder::decode(const unsigned char* packed, size_t packedSize, uint32_t unpackedSize, bool solid,
                          unsigned char* out)
{
    in_ = packed;
    bitPos_ = 0;
    endBits_ = packedSize * 8;
    out_ = out;
    outPos_ = 0;
    remaining_ = unpackedSize;

    if (!solid) {
        reset();
        if (!readTables())
            return false;
    } else if (!tablesValid_) {
        // A solid member with no decoded predecessor has no tables to use.
        return false;
    }
    flushedPtr_ = unpPtr_;
    // A match never writes past the member's end, so the member writes at
    // most unpackedSize bytes on from where the previous one stopped.
    windowDirty_ = static_cast<uint32_t>(std::min<uint64_t>(uint64_t(windowDirty_) + unpackedSize, kWindowSize));

    // Every byte written since the last flush must reach out_ before the
    // window wraps over it; a match adds at most kMaxMatch bytes.
    constexpr uint32_t kFlushAt = kWindowSize / 2;

    while (remaining_ > 0) {
        if (exhausted())
            return false;
        if (((unpPtr_ - flushedPtr_) & kWindowMask) >= kFlushAt)
            flush();

        if (audio_) {
            unsigned sym = decodeSymbol(audioCodes_[curChannel_]);
            if (sym == kAudioNewTables) {
                if (!readTables())
                    return false;
                continue;
            }
            Rar20AudioChannel& ch = audioState_[curChannel_];
            unsigned char out = static_cast<unsigned char>(rar20AudioPredict(ch, channelDelta_) - sym);
            rar20AudioUpdate(ch, channelDelta_, sym, out);
            window_[unpPtr_] = out;
            unpPtr_ = (unpPtr_ + 1) & kWindowMask;
            if (++curChannel_ == channels_)
                curChannel_ = 0;
            --remaining_;
            continue;
        }

        unsigned sym = decodeSymbol(literal_);
        if (sym < 256) {
            window_[unpPtr_] = static_cast<unsigned char>(sym);
            unpPtr_ = (unpPtr_ + 1) & kWindowMask;
            --remaining_;
        } else if (sym >= kSymMatch) {
            unsigned slot = sym - kSymMatch;
            uint32_t length = kLengthBase[slot] + 3;
            if (kLengthBits[slot])
                length += getBits(kLengthBits[slot]);
            unsigned dslot = decodeSymbol(distance_);
            uint32_t distance = kDistanceBase[dslot] + 1;
            if (kDistanceBits[dslot])
                distance += getBits(kDistanceBits[dslot]);
            if (distance >= kFarDistance1) {
                ++length;
                if (distance >= kFarDistance2)
                    ++length;
            }
            if (!copyMatch(length, distance))
                return false;
        } else if (sym == kSymNewTables) {
            if (!readTables())
                return false;
        } else if (sym == kSymRepeatLast) {
            if (!copyMatch(lastLength_, lastDist_))
                return false;
        } else if (sym < kSymShortDistance) {
            uint32_t distance = oldDist_[(oldDistPtr_ - (sym - kSymRepeatLast)) & 3];
            unsigned slot = decodeSymbol(repeat_);
            uint32_t length = kLengthBase[slot] + 2;
            if (kLengthBits[slot])
                length += getBits(kLengthBits[slot]);
            if (distance >= kNearDistance) {
                ++length;
                if (distance >= kFarDistance1) {
                    ++length;
                    if (distance >= kFarDistance2)
                        ++length;
                }
            }
            if (!copyMatch(length, distance))
                return false;
        } else {
            unsigned slot = sym - kSymShortDistance;
            uint32_t distance = kShortBase[slot] + 1;
            if (kShortBits[slot])
                distance += getBits(kShortBits[slot]);
            if (!copyMatch(2, distance))
                return false;
        }
    }
    if (exhausted())
        return false;

    // Tables for the next solid member may follow the last symbol. A failure
    // here does not spoil this member; it leaves no tables for the next one.
    if (packedSize >= (bitPos_ >> 3) + 5) {
        unsigned sym = decodeSymbol(audio_ ? audioCodes_[curChannel_] : literal_);
        if ((audio_ && sym == kAudioNewTables) || (!audio_ && sym == kSymNewTables))
            readTables();
    }
    flush();
    in_ = nullptr;
    out_ = nullptr;
    return true;
}
