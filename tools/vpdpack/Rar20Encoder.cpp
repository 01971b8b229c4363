#include "Rar20Encoder.h"

#include "Huffman.h"
#include "resources/ArchiveFormat.h"
#include "resources/Rar20Audio.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>

using namespace archive;

namespace {

// ---- Symbols and blocks -------------------------------------------------------

// Table ids: the three tables of normal mode, then one per audio channel.
enum : uint8_t { kTableLiteral = 0, kTableDistance = 1, kTableRepeat = 2, kTableAudio = 3 };
constexpr unsigned kTableCount = kTableAudio + kMaxChannels;

constexpr unsigned tableSymbols(unsigned table)
{
    return table == kTableLiteral ? kLiteralCodes
         : table == kTableDistance ? kDistanceCodes
         : table == kTableRepeat ? kRepeatCodes
                                 : kAudioCodes;
}

// One Huffman-coded symbol and the extra bits written right after it.
struct Sym {
    uint16_t code;
    uint8_t table;
    uint8_t extraBits;
    uint32_t extra;
};

struct Block {
    bool audio = false;
    unsigned channels = 1;
    std::vector<Sym> syms;
    uint8_t switchTable = kTableLiteral; // where a following table switch is coded
    bool hasSwitch = false;
    unsigned char lengths[kTableCount][kLiteralCodes] = {};
    uint16_t codes[kTableCount][kLiteralCodes] = {};

    void count(uint32_t (&counts)[kTableCount][kLiteralCodes]) const
    {
        std::memset(counts, 0, sizeof counts);
        for (const Sym& s : syms)
            ++counts[s.table][s.code];
        if (hasSwitch)
            ++counts[switchTable][audio ? kAudioNewTables : kSymNewTables];
    }
    void buildCodes()
    {
        uint32_t counts[kTableCount][kLiteralCodes];
        count(counts);
        for (unsigned t = 0; t < kTableCount; ++t) {
            huffmanLengths(counts[t], tableSymbols(t), kMaxCodeLength, lengths[t]);
            huffmanCodes(lengths[t], tableSymbols(t), codes[t]);
        }
    }
};

// ---- Bit output ---------------------------------------------------------------

class BitWriter {
public:
    void put(uint32_t value, unsigned bits)
    {
        if (!bits)
            return;
        acc_ = (acc_ << bits) | (value & ((1ull << bits) - 1));
        n_ += bits;
        while (n_ >= 8) {
            out_.push_back(static_cast<unsigned char>(acc_ >> (n_ - 8)));
            n_ -= 8;
        }
    }
    std::vector<unsigned char> take()
    {
        if (n_)
            out_.push_back(static_cast<unsigned char>(acc_ << (8 - n_)));
        n_ = 0;
        acc_ = 0;
        return std::move(out_);
    }

private:
    std::vector<unsigned char> out_;
    uint64_t acc_ = 0;
    unsigned n_ = 0;
};

// Writes a block's code lengths: the mode bits, the 19 pre-code lengths, then
// the lengths run-length coded through the pre-code (16: repeat the previous
// length 3-6 times, 17: 3-10 zeros, 18: 11-138 zeros). The previous table is
// not kept (bit 14 clear), so lengths go as they are.
void writeTables(BitWriter& w, const Block& b)
{
    unsigned char all[kMaxTableSize];
    unsigned size = 0;
    if (b.audio) {
        for (unsigned c = 0; c < b.channels; ++c)
            for (unsigned i = 0; i < kAudioCodes; ++i)
                all[size++] = b.lengths[kTableAudio + c][i];
    } else {
        for (unsigned t = kTableLiteral; t <= kTableRepeat; ++t)
            for (unsigned i = 0; i < tableSymbols(t); ++i)
                all[size++] = b.lengths[t][i];
    }

    struct Run { uint8_t code, bits; uint8_t extra; };
    std::vector<Run> runs;
    for (unsigned i = 0; i < size;) {
        unsigned v = all[i];
        unsigned n = 1;
        while (i + n < size && all[i + n] == v)
            ++n;
        if (v == 0) {
            unsigned left = n;
            while (left >= 11) {
                unsigned k = std::min(left, 138u);
                runs.push_back({18, 7, static_cast<uint8_t>(k - 11)});
                left -= k;
            }
            if (left >= 3) {
                runs.push_back({17, 3, static_cast<uint8_t>(left - 3)});
                left = 0;
            }
            for (; left; --left)
                runs.push_back({0, 0, 0});
        } else {
            runs.push_back({static_cast<uint8_t>(v), 0, 0});
            unsigned left = n - 1;
            while (left >= 3) {
                unsigned k = std::min(left, 6u);
                runs.push_back({16, 2, static_cast<uint8_t>(k - 3)});
                left -= k;
            }
            for (; left; --left)
                runs.push_back({static_cast<uint8_t>(v), 0, 0});
        }
        i += n;
    }

    uint32_t preCounts[kPreCodes] = {};
    for (const Run& r : runs)
        ++preCounts[r.code];
    unsigned char preLengths[kPreCodes];
    uint16_t preCodes[kPreCodes];
    huffmanLengths(preCounts, kPreCodes, kMaxCodeLength, preLengths);
    huffmanCodes(preLengths, kPreCodes, preCodes);

    w.put(b.audio ? 1 : 0, 1);
    w.put(0, 1);
    if (b.audio)
        w.put(b.channels - 1, 2);
    for (unsigned i = 0; i < kPreCodes; ++i)
        w.put(preLengths[i], 4);
    for (const Run& r : runs) {
        w.put(preCodes[r.code], preLengths[r.code]);
        w.put(r.extra, r.bits);
    }
}

void writeSyms(BitWriter& w, const Block& b)
{
    for (const Sym& s : b.syms) {
        w.put(b.codes[s.table][s.code], b.lengths[s.table][s.code]);
        w.put(s.extra, s.extraBits);
    }
}

// ---- Slot tables ----------------------------------------------------------------

struct Slots {
    uint8_t length[256]; // slot of a length value (length minus its minimum)
    Slots()
    {
        for (unsigned s = 0; s < 28; ++s)
            for (uint32_t v = kLengthBase[s]; v < kLengthBase[s] + (1u << kLengthBits[s]) && v < 256; ++v)
                length[v] = static_cast<uint8_t>(s);
    }
    static unsigned distance(uint32_t v) // v = distance - 1
    {
        unsigned lo = 0, hi = kDistanceCodes - 1;
        while (lo < hi) {
            unsigned mid = (lo + hi + 1) / 2;
            if (kDistanceBase[mid] <= v)
                lo = mid;
            else
                hi = mid - 1;
        }
        return lo;
    }
    static unsigned shortDistance(uint32_t v) // v = distance - 1, below 256
    {
        unsigned s = 7;
        while (kShortBase[s] > v)
            --s;
        return s;
    }
};
const Slots& slots()
{
    static const Slots s;
    return s;
}

// Length bonuses the decoder adds for far distances.
unsigned matchBonus(uint32_t d)
{
    return (d >= kFarDistance1) + (d >= kFarDistance2);
}
unsigned repeatBonus(uint32_t d)
{
    return (d >= kNearDistance) + (d >= kFarDistance1) + (d >= kFarDistance2);
}

// ---- Parser -----------------------------------------------------------------------

constexpr unsigned kBlockSymbols = 32768;
constexpr size_t kAudioBlockBytes = 1 << 18;
constexpr unsigned kMaxLength = 257;           // longest match the parser takes
constexpr uint32_t kMaxMatchDistance = kWindowSize - 512; // keep clear of the window's wrap
constexpr unsigned kHashBits = 17;
constexpr unsigned kChainDepth = 128;
constexpr unsigned kNiceLength = 128; // a match this long ends the chain search
constexpr uint32_t kNone = 0xFFFFFFFFu;

// Bit costs of symbols, from the last block's code lengths.
struct Costs {
    uint16_t lit[kLiteralCodes];
    uint16_t dist[kDistanceCodes];
    uint16_t rep[kRepeatCodes];
    Costs()
    {
        for (unsigned i = 0; i < kLiteralCodes; ++i)
            lit[i] = i < 256 ? 8 : i < kSymShortDistance ? 6 : i < kSymNewTables ? 7 : 7 + (i - kSymMatch) / 4;
        for (unsigned i = 0; i < kDistanceCodes; ++i)
            dist[i] = static_cast<uint16_t>(4 + i / 8);
        for (unsigned i = 0; i < kRepeatCodes; ++i)
            rep[i] = 3 + i / 4;
    }
    void update(const Block& b)
    {
        auto cost = [](unsigned char len) { return static_cast<uint16_t>(len ? len : 14); };
        for (unsigned i = 0; i < kLiteralCodes; ++i)
            lit[i] = cost(b.lengths[kTableLiteral][i]);
        for (unsigned i = 0; i < kDistanceCodes; ++i)
            dist[i] = cost(b.lengths[kTableDistance][i]);
        for (unsigned i = 0; i < kRepeatCodes; ++i)
            rep[i] = cost(b.lengths[kTableRepeat][i]);
    }
};

struct Candidate {
    unsigned length = 0;
    uint32_t distance = 0;
    int gain = 0; // bits saved over coding the bytes as literals
};

} // namespace

struct Rar20Encoder::Impl {
    Mode mode;
    std::vector<unsigned char> hist; // every byte of the solid run so far
    std::vector<std::vector<Block>> members;

    // Match state mirrored from the decoder.
    uint32_t oldDist[4] = {};
    unsigned oldDistPtr = 0;
    uint32_t lastDist = 0;
    uint32_t lastLength = 0;
    Costs costs;

    // Hash chains over hist.
    std::vector<uint32_t> head;
    std::vector<uint32_t> prev;
    std::vector<uint32_t> head2; // last position of each byte pair
    size_t inserted = 0;         // positions below this are in the chains

    // Audio state mirrored from the decoder.
    Rar20AudioChannel audio[kMaxChannels] = {};
    int channelDelta = 0;
    unsigned curChannel = 0;

    explicit Impl(Mode m) : mode(m)
    {
        if (mode == Mode::Normal) {
            head.assign(1u << kHashBits, kNone);
            prev.assign(kWindowSize, kNone);
            head2.assign(1u << 16, kNone);
        }
    }

    Block& newBlock(std::vector<Block>& blocks)
    {
        blocks.emplace_back();
        return blocks.back();
    }

    // -- normal mode --

    static uint32_t hash3(const unsigned char* p)
    {
        uint32_t v = static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    void insertUpTo(size_t end)
    {
        size_t limit = hist.size() >= 3 ? hist.size() - 2 : 0;
        for (; inserted < end && inserted < limit; ++inserted) {
            uint32_t h = hash3(&hist[inserted]);
            prev[inserted & (kWindowSize - 1)] = head[h];
            head[h] = static_cast<uint32_t>(inserted);
            head2[hist[inserted] << 8 | hist[inserted + 1]] = static_cast<uint32_t>(inserted);
        }
    }

    unsigned matchLength(size_t a, size_t b, unsigned maxLen) const
    {
        const unsigned char* x = &hist[a];
        const unsigned char* y = &hist[b];
        unsigned n = 0;
        while (n + 8 <= maxLen) {
            uint64_t u, v;
            std::memcpy(&u, x + n, 8);
            std::memcpy(&v, y + n, 8);
            if (u != v)
                return n + static_cast<unsigned>(__builtin_ctzll(u ^ v) / 8);
            n += 8;
        }
        while (n < maxLen && x[n] == y[n])
            ++n;
        return n;
    }

    int literalBits(size_t p, unsigned n) const
    {
        int bits = 0;
        for (unsigned i = 0; i < n; ++i)
            bits += costs.lit[hist[p + i]];
        return bits;
    }

    // The cost in bits of coding (length, distance) from the current state,
    // or -1 when no code can express it.
    int matchCost(unsigned length, uint32_t distance) const
    {
        if (length == lastLength && distance == lastDist)
            return costs.lit[kSymRepeatLast];
        for (unsigned k = 1; k <= 4; ++k) {
            if (oldDist[(oldDistPtr - k) & 3] != distance)
                continue;
            unsigned bonus = repeatBonus(distance);
            if (length < 2 + bonus)
                break;
            unsigned v = length - 2 - bonus;
            unsigned s = slots().length[v];
            return costs.lit[kSymRepeatLast + k] + costs.rep[s] + kLengthBits[s];
        }
        if (length == 2) {
            if (distance > 256)
                return -1;
            unsigned s = Slots::shortDistance(distance - 1);
            return costs.lit[kSymShortDistance + s] + kShortBits[s];
        }
        unsigned bonus = matchBonus(distance);
        if (length < 3 + bonus)
            return -1;
        unsigned ls = slots().length[length - 3 - bonus];
        unsigned ds = Slots::distance(distance - 1);
        return costs.lit[kSymMatch + ls] + kLengthBits[ls] + costs.dist[ds] + kDistanceBits[ds];
    }

    void consider(Candidate& best, size_t p, unsigned length, uint32_t distance) const
    {
        int cost = matchCost(length, distance);
        if (cost < 0)
            return;
        int gain = literalBits(p, length) - cost;
        if (gain > best.gain || (gain == best.gain && length > best.length)) {
            best.length = length;
            best.distance = distance;
            best.gain = gain;
        }
    }

    Candidate findMatch(size_t p, size_t end, size_t histStart)
    {
        Candidate best;
        unsigned maxLen = static_cast<unsigned>(std::min<size_t>(kMaxLength, end - p));
        if (maxLen < 2)
            return best;
        // The last distances first: they are the cheapest to code.
        for (unsigned k = 1; k <= 4; ++k) {
            uint32_t d = oldDist[(oldDistPtr - k) & 3];
            if (d == 0 || d > p - histStart || d > kMaxMatchDistance)
                continue;
            unsigned len = matchLength(p, p - d, maxLen);
            for (unsigned l = len; l >= 2 && l + 3 > len; --l)
                consider(best, p, l, d);
        }
        if (maxLen >= 3 && p + 2 < hist.size()) {
            uint32_t cand = head[hash3(&hist[p])];
            unsigned longest = 2;
            for (unsigned depth = 0; depth < kChainDepth && cand != kNone && cand < p; ++depth) {
                uint32_t d = static_cast<uint32_t>(p - cand);
                if (d > kMaxMatchDistance || cand < histStart)
                    break;
                if (longest >= maxLen)
                    break; // nothing can be longer
                if (hist[cand + longest] == hist[p + longest]) {
                    unsigned len = matchLength(p, cand, maxLen);
                    if (len > longest) {
                        longest = len;
                        consider(best, p, len, d);
                        // A far match may lose to a shorter, nearer one.
                        if (len > 3)
                            consider(best, p, len - 1, d);
                        if (len >= kNiceLength)
                            break;
                    }
                }
                uint32_t next = prev[cand & (kWindowSize - 1)];
                if (next >= cand)
                    break;
                cand = next;
            }
        }
        uint32_t c2 = head2[hist[p] << 8 | hist[p + 1]];
        if (c2 != kNone && c2 < p && c2 >= histStart && p - c2 <= 256)
            consider(best, p, 2, static_cast<uint32_t>(p - c2));
        return best;
    }

    void emitMatch(Block& b, unsigned length, uint32_t distance)
    {
        bool done = false;
        if (length == lastLength && distance == lastDist) {
            b.syms.push_back({static_cast<uint16_t>(kSymRepeatLast), kTableLiteral, 0, 0});
            done = true;
        }
        for (unsigned k = 1; k <= 4 && !done; ++k) {
            if (oldDist[(oldDistPtr - k) & 3] != distance)
                continue;
            if (length < 2 + repeatBonus(distance))
                break;
            unsigned v = length - 2 - repeatBonus(distance);
            unsigned s = slots().length[v];
            b.syms.push_back({static_cast<uint16_t>(kSymRepeatLast + k), kTableLiteral, 0, 0});
            b.syms.push_back({static_cast<uint16_t>(s), kTableRepeat, kLengthBits[s], v - kLengthBase[s]});
            done = true;
        }
        if (!done && length == 2) {
            unsigned s = Slots::shortDistance(distance - 1);
            b.syms.push_back({static_cast<uint16_t>(kSymShortDistance + s), kTableLiteral, kShortBits[s],
                              distance - 1 - kShortBase[s]});
            done = true;
        }
        if (!done) {
            unsigned v = length - 3 - matchBonus(distance);
            unsigned ls = slots().length[v];
            unsigned ds = Slots::distance(distance - 1);
            b.syms.push_back({static_cast<uint16_t>(kSymMatch + ls), kTableLiteral, kLengthBits[ls],
                              v - kLengthBase[ls]});
            b.syms.push_back({static_cast<uint16_t>(ds), kTableDistance, kDistanceBits[ds],
                              distance - 1 - kDistanceBase[ds]});
        }
        oldDist[oldDistPtr++ & 3] = distance;
        lastDist = distance;
        lastLength = length;
    }

    void closeBlock(Block& b)
    {
        b.buildCodes();
        costs.update(b);
    }

    // Before the first block there are no code lengths to go by: literal
    // costs come from the byte counts of the data ahead instead.
    void estimateLiteralCosts(size_t p, size_t end)
    {
        size_t n = std::min<size_t>(end - p, 1 << 16);
        uint32_t counts[256] = {};
        for (size_t i = 0; i < n; ++i)
            ++counts[hist[p + i]];
        for (unsigned c = 0; c < 256; ++c) {
            double bits = counts[c] ? -std::log2(static_cast<double>(counts[c]) / n) : 12.0;
            costs.lit[c] = static_cast<uint16_t>(std::clamp(bits + 0.5, 1.0, 15.0));
        }
    }

    void parseNormal(size_t start, size_t end, size_t histStart, std::vector<Block>& blocks)
    {
        Block* b = &newBlock(blocks);
        size_t p = start;
        if (start == 0)
            estimateLiteralCosts(p, end);
        insertUpTo(p);
        Candidate cur = findMatch(p, end, histStart);
        while (p < end) {
            if (b->syms.size() >= kBlockSymbols) {
                closeBlock(*b);
                b = &newBlock(blocks);
            }
            if (cur.gain <= 0) {
                b->syms.push_back({hist[p], kTableLiteral, 0, 0});
                ++p;
                insertUpTo(p);
                if (p < end)
                    cur = findMatch(p, end, histStart);
                continue;
            }
            // One step of lazy evaluation: a literal now and a match at the
            // next byte win when that match saves more bits per byte it and
            // the literal cover than this one saves per byte.
            insertUpTo(p + 1);
            Candidate next = p + 1 < end ? findMatch(p + 1, end, histStart) : Candidate{};
            if (next.gain * static_cast<int>(cur.length) > cur.gain * static_cast<int>(next.length + 1)) {
                b->syms.push_back({hist[p], kTableLiteral, 0, 0});
                ++p;
                cur = next;
                continue;
            }
            emitMatch(*b, cur.length, cur.distance);
            p += cur.length;
            insertUpTo(p);
            if (p < end)
                cur = findMatch(p, end, histStart);
        }
        closeBlock(*b);
    }

    // -- audio mode --

    // The channel count whose predictor errors have the least entropy over a
    // sample of the member.
    unsigned chooseChannels(const unsigned char* data, size_t size) const
    {
        size_t n = std::min<size_t>(size, 1 << 18);
        unsigned best = 1;
        double bestBits = 0;
        for (unsigned ch = 1; ch <= kMaxChannels; ++ch) {
            Rar20AudioChannel st[kMaxChannels] = {};
            int cd = 0;
            uint32_t counts[kMaxChannels][256] = {};
            for (size_t i = 0; i < n; ++i) {
                unsigned c = i % ch;
                unsigned char pred = rar20AudioPredict(st[c], cd);
                unsigned delta = static_cast<unsigned char>(pred - data[i]);
                rar20AudioUpdate(st[c], cd, delta, data[i]);
                ++counts[c][delta];
            }
            double bits = 0;
            for (unsigned c = 0; c < ch; ++c) {
                uint64_t total = 0;
                for (uint32_t v : counts[c])
                    total += v;
                for (uint32_t v : counts[c])
                    if (v)
                        bits -= v * std::log2(static_cast<double>(v) / total);
            }
            bits += ch * 1200.0; // the tables each channel adds
            if (ch == 1 || bits < bestBits) {
                best = ch;
                bestBits = bits;
            }
        }
        return best;
    }

    void parseAudio(size_t start, size_t end, std::vector<Block>& blocks)
    {
        unsigned channels = chooseChannels(&hist[start], end - start);
        // Reading the member's first tables resets the channel when the
        // count shrinks under it.
        if (curChannel >= channels)
            curChannel = 0;
        Block* b = nullptr;
        for (size_t p = start; p < end; ++p) {
            if (!b || b->syms.size() >= kAudioBlockBytes) {
                if (b)
                    b->switchTable = static_cast<uint8_t>(kTableAudio + curChannel);
                b = &newBlock(blocks);
                b->audio = true;
                b->channels = channels;
            }
            Rar20AudioChannel& v = audio[curChannel];
            unsigned char pred = rar20AudioPredict(v, channelDelta);
            unsigned delta = static_cast<unsigned char>(pred - hist[p]);
            rar20AudioUpdate(v, channelDelta, delta, hist[p]);
            b->syms.push_back({static_cast<uint16_t>(delta), static_cast<uint8_t>(kTableAudio + curChannel), 0, 0});
            if (++curChannel == channels)
                curChannel = 0;
        }
        if (!b) {
            b = &newBlock(blocks);
            b->audio = true;
            b->channels = channels;
        }
        b->switchTable = static_cast<uint8_t>(kTableAudio + curChannel);
    }
};

Rar20Encoder::Rar20Encoder(Mode mode) : impl_(std::make_unique<Impl>(mode)) {}

Rar20Encoder::~Rar20Encoder() = default;

void Rar20Encoder::addMember(const unsigned char* data, size_t size)
{
    Impl& m = *impl_;
    size_t start = m.hist.size();
    m.hist.insert(m.hist.end(), data, data + size);
    m.members.emplace_back();
    if (m.mode == Mode::Audio) {
        m.parseAudio(start, m.hist.size(), m.members.back());
        return;
    }
    m.parseNormal(start, m.hist.size(), 0, m.members.back());
}

std::vector<std::vector<unsigned char>> Rar20Encoder::finish()
{
    Impl& m = *impl_;
    // Every block but the very last is followed by a table switch coded with
    // its tables: inside a member before its next block, and for a member's
    // last block at the very start of the next member's bits. Readers differ
    // at a member's end: some look for the switch there, others go straight
    // on to the next member. So the switch always opens the next member, and
    // a member that another follows ends with one harmless symbol (a literal 0
    // or audio delta 0) for the readers that look: they then find no switch
    // even where cipher padding follows.
    std::vector<Block*> order;
    for (auto& member : m.members)
        for (Block& b : member)
            order.push_back(&b);
    for (size_t i = 0; i < order.size(); ++i) {
        order[i]->hasSwitch = i + 1 < order.size();
        if (!order[i]->audio)
            order[i]->switchTable = kTableLiteral;
    }
    for (size_t mi = 0; mi + 1 < m.members.size(); ++mi) {
        Block& last = m.members[mi].back();
        last.syms.push_back({0, last.switchTable, 0, 0});
    }
    for (Block* b : order)
        b->buildCodes();

    std::vector<std::vector<unsigned char>> streams;
    const Block* before = nullptr; // the block whose tables are in force
    for (std::vector<Block>& blocks : m.members) {
        BitWriter w;
        for (const Block& b : blocks) {
            if (before) {
                unsigned sym = before->audio ? kAudioNewTables : kSymNewTables;
                w.put(before->codes[before->switchTable][sym], before->lengths[before->switchTable][sym]);
            }
            writeTables(w, b);
            writeSyms(w, b);
            before = &b;
        }
        // Some readers peek a whole code's worth of bits even for the last
        // symbol and refuse a stream that ends inside the peek.
        w.put(0, 16);
        streams.push_back(w.take());
    }
    return streams;
}
