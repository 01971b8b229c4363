#pragma once
// The layout of the data archive: RAR 2.x blocks, the RAR 2.0 compression
// tables and the RAR 2.0 cipher's constants. Shared by the reader in this
// folder and the packer tool, so both agree on every number.
//
// An archive is a 7-byte marker, a 13-byte archive header, then a chain of
// blocks. Each block starts with a 7-byte common part (header CRC, type,
// flags, header size); with flag 0x8000 a data area follows the header, whose
// size is the 32-bit field at offset 7. File headers (type 0x74) carry a member:
// 32 fixed bytes, the name, then the packed data as their data area. All fields
// are little-endian.

#include <cstddef>
#include <cstdint>

namespace archive {

// ---- Blocks ---------------------------------------------------------------

constexpr size_t kMarkerSize = 7;
constexpr size_t kBlockHeaderSize = 7;    // CRC 2, type 1, flags 2, size 2
constexpr size_t kArchiveHeaderSize = 13; // common part + 2 + 4 reserved
constexpr size_t kFileHeaderSize = 32;    // fixed part, the name follows
static_assert(kBlockHeaderSize == 2 + 1 + 2 + 2);
static_assert(kArchiveHeaderSize == kBlockHeaderSize + 2 + 4);
static_assert(kFileHeaderSize == kBlockHeaderSize + 4 + 4 + 1 + 4 + 4 + 1 + 1 + 2 + 4);

// "Rar!" 0x1A 0x07 0x00, and the production's own variant, read the same way.
constexpr unsigned char kMarkerRar[kMarkerSize] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr unsigned char kMarkerTrevix[kMarkerSize] = {'T', 'r', 'e', 'v', 'i', 'x', '!'};
// RAR 1.4 archives start "RE~^" and have a different block layout altogether.
constexpr unsigned char kMarkerOld[4] = {0x52, 0x45, 0x7E, 0x5E};

constexpr uint8_t kTypeMarker = 0x72;
constexpr uint8_t kTypeArchive = 0x73;
constexpr uint8_t kTypeFile = 0x74;
constexpr uint8_t kTypeComment = 0x75;
constexpr uint8_t kTypeSubBlock = 0x77;
constexpr uint8_t kTypeEnd = 0x7B;

constexpr uint16_t kArchiveSolid = 0x0008;

constexpr uint16_t kFileEncrypted = 0x0004;
constexpr uint16_t kFileSolid = 0x0010;       // continues the previous member's dictionary
constexpr uint16_t kFileWindow1024K = 0x0080; // dictionary size bits 5-7: 1 MiB
constexpr uint16_t kBlockHasData = 0x8000;    // a data area follows the header

// Offsets within a file header.
constexpr size_t kFilePackedSize = 7;
constexpr size_t kFileUnpackedSize = 11;
constexpr size_t kFileHostOs = 15;
constexpr size_t kFileCrc = 16;
constexpr size_t kFileTime = 20;
constexpr size_t kFileVersion = 24;
constexpr size_t kFileMethod = 25;
constexpr size_t kFileNameSize = 26;
constexpr size_t kFileAttributes = 28;
static_assert(kFileAttributes + 4 == kFileHeaderSize);

constexpr uint8_t kMinVersion = 13; // RAR 1.3
constexpr uint8_t kMaxVersion = 20; // RAR 2.0
constexpr uint8_t kCipherVersion = 20; // older versions used another cipher
constexpr uint8_t kMethodStored = 0x30;
constexpr uint8_t kMethodNormal = 0x33;
constexpr uint8_t kHostMsDos = 0;
constexpr uint32_t kAttributeArchive = 0x20;

// Names: stored up to this many bytes, compared up to this many characters.
constexpr size_t kMaxNameCompare = 512;
// The cipher's password block; longer passwords are cut to fit its NUL.
constexpr size_t kPasswordBlock = 256;
constexpr size_t kMaxPasswordLength = kPasswordBlock - 2;

// ---- RAR 2.0 compression ----------------------------------------------------

constexpr uint32_t kWindowSize = 1u << 20; // 1 MiB sliding dictionary
constexpr uint32_t kWindowMask = kWindowSize - 1;

constexpr unsigned kLiteralCodes = 298; // 256 literals, 256..269 specials, 28 length slots
constexpr unsigned kDistanceCodes = 48;
constexpr unsigned kRepeatCodes = 28;
constexpr unsigned kPreCodes = 19;
constexpr unsigned kAudioCodes = 257; // 256 deltas and the table switch
constexpr unsigned kMaxChannels = 4;
constexpr unsigned kMainTableSize = kLiteralCodes + kDistanceCodes + kRepeatCodes;
constexpr unsigned kMaxTableSize = kAudioCodes * kMaxChannels;
static_assert(kMainTableSize == 374);
static_assert(kMaxTableSize == 1028);

constexpr unsigned kMaxCodeLength = 15;

// Literal/length symbols.
constexpr unsigned kSymRepeatLast = 256;   // the last match again
constexpr unsigned kSymOldDistance = 257;  // 257..260: one of the four last distances
constexpr unsigned kSymShortDistance = 261; // 261..268: length 2, short distance
constexpr unsigned kSymNewTables = 269;
constexpr unsigned kSymMatch = 270;        // 270..297: length slot 0..27
constexpr unsigned kAudioNewTables = 256;
static_assert(kSymMatch + kRepeatCodes == kLiteralCodes);

constexpr unsigned char kLengthBits[28] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2,
                                           3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};
constexpr unsigned char kDistanceBits[48] = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,  5,  6,  6,
                                             7,  7,  8,  8,  9,  9,  10, 10, 11, 11, 12, 12, 13, 13, 14, 14,
                                             15, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16};
constexpr unsigned char kShortBits[8] = {2, 2, 3, 4, 5, 6, 6, 6};

// Each base is the previous one plus two to the power of the previous extra bits.
template <size_t N> struct BaseTable {
    uint32_t v[N];
    constexpr explicit BaseTable(const unsigned char (&bits)[N]) : v{}
    {
        for (size_t i = 1; i < N; ++i)
            v[i] = v[i - 1] + (1u << bits[i - 1]);
    }
    constexpr uint32_t operator[](size_t i) const { return v[i]; }
};
constexpr BaseTable<28> kLengthBase(kLengthBits);
constexpr BaseTable<48> kDistanceBase(kDistanceBits);
constexpr BaseTable<8> kShortBase(kShortBits);
static_assert(kLengthBase[27] == 224 && kDistanceBase[47] == 983040 && kShortBase[7] == 192);

// Lengths grow with the distance: far matches must be longer to pay off.
constexpr uint32_t kFarDistance1 = 0x2000;   // 8192 and more: +1
constexpr uint32_t kFarDistance2 = 0x40000;  // 262144 and more: +1 again
constexpr uint32_t kNearDistance = 0x101;    // repeat codes: 257 and more +1

constexpr unsigned kMinMatch = 2;
constexpr unsigned kMaxMatch = 255 + 5; // slot 27 with all extra bits set, plus every bonus
static_assert(kLengthBase[27] + 31 + 3 + 2 == kMaxMatch);
constexpr uint32_t kMaxDistance = kWindowSize; // the farthest a match can reach; distance base 47 + 65535 + 1

// An upper bound of unpacked bytes per packed byte: every symbol costs at least
// one bit and yields at most one match of kMaxMatch bytes.
constexpr uint64_t kMaxExpansion = 8 * (kMaxMatch + 1);

// ---- RAR 2.0 cipher ---------------------------------------------------------

constexpr unsigned kCipherRounds = 32;
constexpr size_t kCipherBlock = 16;
constexpr uint32_t kCipherInitialKey[4] = {0xD3A3B879u, 0x3F6D12F7u, 0x7515A235u, 0xA4E7F123u};

// The format's initial substitution table; the key set-up permutes a copy.
constexpr unsigned char kCipherInitialTable[256] = {
    215, 19,  149, 35,  73,  197, 192, 205, 249, 28,  16,  119, 48,  221, 2,   42,
    232, 1,   177, 233, 14,  88,  219, 25,  223, 195, 244, 90,  87,  239, 153, 137,
    255, 199, 147, 70,  92,  66,  246, 13,  216, 40,  62,  29,  217, 230, 86,  6,
    71,  24,  171, 196, 101, 113, 218, 123, 93,  91,  163, 178, 202, 67,  44,  235,
    107, 250, 75,  234, 49,  167, 125, 211, 83,  114, 157, 144, 32,  193, 143, 36,
    158, 124, 247, 187, 89,  214, 141, 47,  121, 228, 61,  130, 213, 194, 174, 251,
    97,  110, 54,  229, 115, 57,  152, 94,  105, 243, 212, 55,  209, 245, 63,  11,
    164, 200, 31,  156, 81,  176, 227, 21,  76,  99,  139, 188, 127, 17,  248, 51,
    207, 120, 189, 210, 8,   226, 41,  72,  183, 203, 135, 165, 166, 60,  98,  7,
    122, 38,  155, 170, 69,  172, 252, 238, 39,  134, 59,  128, 236, 27,  240, 80,
    131, 3,   85,  206, 145, 79,  154, 142, 159, 220, 201, 133, 74,  64,  20,  129,
    224, 185, 138, 103, 173, 182, 43,  34,  254, 82,  198, 151, 231, 180, 58,  10,
    118, 26,  102, 12,  50,  132, 22,  191, 136, 111, 162, 179, 45,  4,   148, 108,
    161, 56,  78,  126, 242, 222, 15,  175, 146, 23,  33,  241, 181, 190, 77,  225,
    0,   46,  169, 186, 68,  95,  237, 65,  53,  208, 253, 168, 9,   18,  100, 52,
    116, 184, 160, 96,  109, 37,  30,  106, 140, 104, 150, 5,   204, 117, 112, 84,
};

constexpr bool isPermutation(const unsigned char (&t)[256])
{
    bool seen[256] = {};
    for (unsigned char v : t) {
        if (seen[v])
            return false;
        seen[v] = true;
    }
    return true;
}
static_assert(isPermutation(kCipherInitialTable), "a substitution table maps bytes one to one");

} // namespace archive
