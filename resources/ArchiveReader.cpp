#include "resources/ArchiveReader.h"

#include "resources/ArchiveFormat.h"
#include "resources/ByteReader.h"
#include "resources/Crc32.h"
#include "resources/Rar20Cipher.h"
#include "resources/Rar20Decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

// How the walk works: after the marker and the archive header, blocks follow
// one another, each found at (start + header size), plus its data area when it
// has one. File headers are compared by name; in a solid archive every member
// before the wanted one is decoded as well, because its bytes are the history
// the wanted one refers back to. The walk stops at the wanted member, at an
// old-style sub-block, at the end of the file, or at a block that breaks the
// chain.
//
// Choices where the format leaves room:
// - Only the RAR 2.x marker and its "Trevix!" variant are read. RAR 1.4
//   archives ("RE~^") lay out their blocks differently, and an unknown marker
//   is no archive of ours: both fail.
// - An archive header shorter than its 13 bytes fails; a longer one (archive
//   comments live there) is skipped by its size.
// - Header CRCs are not checked, as the player never has: the member's CRC-32
//   guards the data. A file header shorter than its fixed 32 bytes, or a name
//   reaching past its header, breaks the chain.
// - Stored names are kept up to 512 bytes (not cut shorter than the compared
//   length), so that a long name never matches a request for its prefix. A name
//   ends at its first NUL (RAR keeps a Unicode form after it).
// - A file header without the data flag has no data area, so no packed bytes.
// - Stored members are no part of a solid run's history (they never pass
//   through the window), and a solid member with no compressed member decoded
//   before it fails: it has no tables to decode with.
// - The password is used up to its first 254 bytes, the most the cipher's
//   password block holds with its terminating NUL.
// - Sizes are checked before anything is allocated: the packed data must lie
//   within the file, a stored member cannot be larger than its packed data, and
//   a compressed one cannot be larger than its packed bits can express.
// - A member that produces fewer bytes than its header claims fails, rather
//   than having its checksum taken over bytes never written. So do a stream
//   that runs past its packed bytes, a match reaching past the member's end
//   (its surplus would corrupt the next solid member's history) and tables
//   that repeat a previous length at their first entry.

namespace {

using namespace archive;

PasswordWipeCheck wipeCheck = nullptr;

void secureZero(void* p, size_t n)
{
    volatile unsigned char* v = static_cast<volatile unsigned char*>(p);
    while (n--)
        *v++ = 0;
}

// "\" and "/" become "_", letters upper case (ASCII only: the locale must not
// change what an archive name means), at most kMaxNameCompare characters.
void normalizeName(const char* in, size_t inLength, char (&out)[kMaxNameCompare + 1])
{
    size_t n = 0;
    for (; n < inLength && n < kMaxNameCompare && in[n] != '\0'; ++n) {
        char c = in[n];
        if (c == '\\' || c == '/')
            c = '_';
        else if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        out[n] = c;
    }
    out[n] = '\0';
}

struct MemberHeader {
    uint16_t flags = 0;
    uint32_t headerSize = 0;
    uint32_t packedSize = 0;
    uint32_t unpackedSize = 0;
    uint32_t crc = 0;
    uint8_t version = 0;
    uint8_t method = 0;
    char name[kMaxNameCompare + 1] = {};
};

class ArchiveExtraction {
public:
    ArchiveExtraction(const char* password)
    {
        if (password) {
            size_t n = std::strlen(password);
            if (n > kMaxPasswordLength)
                n = kMaxPasswordLength;
            std::memcpy(password_, password, n);
        }
    }
    ~ArchiveExtraction()
    {
        if (file_)
            std::fclose(file_);
        std::free(packed_);
        std::free(out_);
        delete decoder_;
        secureZero(password_, sizeof password_);
        if (wipeCheck)
            wipeCheck(reinterpret_cast<const unsigned char*>(password_), sizeof password_);
    }

    int run(const char* archivePath, const char* memberName, unsigned char** data, uint32_t* size);
    ArchiveMember find(const char* archivePath, const char* memberName);

private:
    // Opens the archive and reads its headers; `pos` is then the first block.
    bool open(const char* archivePath, bool& solidArchive, uint64_t& pos);
    enum class Next { Member, End };
    bool readAt(uint64_t offset, void* buffer, size_t size);
    Next readMemberHeader(uint64_t& pos, MemberHeader& h, uint64_t& dataStart);
    bool processMember(const MemberHeader& h, uint64_t dataStart, bool wanted);

    FILE* file_ = nullptr;
    uint64_t fileSize_ = 0;
    unsigned char* packed_ = nullptr;
    size_t packedCapacity_ = 0;
    unsigned char* out_ = nullptr;
    Rar20Decoder* decoder_ = nullptr;
    Rar20Cipher cipher_; // wipes its key material when the extraction ends
    bool keyed_ = false; // setKey has run with password_
    char password_[kMaxPasswordLength + 1] = {};
};

bool ArchiveExtraction::readAt(uint64_t offset, void* buffer, size_t size)
{
    if (offset > fileSize_ || size > fileSize_ - offset)
        return false;
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(buffer, 1, size, file_) == size;
}

// Reads blocks from `pos` on until a file header; leaves `pos` at the block
// after it. Sub-blocks, the end of the file and a broken chain end the walk.
ArchiveExtraction::Next ArchiveExtraction::readMemberHeader(uint64_t& pos, MemberHeader& h, uint64_t& dataStart)
{
    for (;;) {
        unsigned char raw[kFileHeaderSize];
        size_t avail = pos < fileSize_ ? static_cast<size_t>(std::min<uint64_t>(kFileHeaderSize, fileSize_ - pos)) : 0;
        if (avail < kBlockHeaderSize || !readAt(pos, raw, avail))
            return Next::End;
        ByteReader r(raw, avail);
        r.u16(); // header CRC, not checked
        uint8_t type = r.u8();
        uint16_t flags = r.u16();
        uint16_t headerSize = r.u16();
        if (headerSize < kBlockHeaderSize)
            return Next::End;
        uint32_t dataSize = 0;
        if (flags & kBlockHasData) {
            dataSize = r.u32();
            if (!r.ok())
                return Next::End;
        }
        uint64_t next = pos + headerSize + dataSize;
        if (type == kTypeSubBlock)
            return Next::End;
        if (type != kTypeFile) {
            pos = next;
            continue;
        }

        if (avail < kFileHeaderSize || headerSize < kFileHeaderSize)
            return Next::End;
        h.flags = flags;
        h.headerSize = headerSize;
        h.packedSize = dataSize;
        h.unpackedSize = r.u32();
        r.u8(); // host system
        h.crc = r.u32();
        r.u32(); // file time
        h.version = r.u8();
        h.method = r.u8();
        uint16_t nameSize = r.u16();
        r.u32(); // attributes
        if (!r.ok() || kFileHeaderSize + nameSize > headerSize)
            return Next::End;
        char stored[kMaxNameCompare];
        size_t keep = nameSize < kMaxNameCompare ? nameSize : kMaxNameCompare;
        if (!readAt(pos + kFileHeaderSize, stored, keep))
            return Next::End;
        normalizeName(stored, keep, h.name);
        dataStart = pos + headerSize;
        pos = next;
        return Next::Member;
    }
}

// Decodes (or copies) one member. With `wanted` the bytes go to out_ and the
// checksum is compared; otherwise the member only feeds the solid window.
bool ArchiveExtraction::processMember(const MemberHeader& h, uint64_t dataStart, bool wanted)
{
    if (h.version < kMinVersion || h.version > kMaxVersion)
        return false;
    if (dataStart > fileSize_ || h.packedSize > fileSize_ - dataStart)
        return false;
    bool stored = h.method == kMethodStored;
    if (wanted) {
        uint64_t most = stored ? h.packedSize : static_cast<uint64_t>(h.packedSize) * kMaxExpansion;
        if (h.unpackedSize > most)
            return false;
        // One spare byte: an empty member still hands back a block.
        out_ = static_cast<unsigned char*>(std::malloc(h.unpackedSize ? h.unpackedSize : 1));
        if (!out_)
            return false;
    } else if (stored) {
        return true; // stored members are no part of the compressed history
    }

    // The packed bytes, whole, rounded up to cipher blocks and followed by the
    // decoder's zero padding.
    size_t blocks = (static_cast<size_t>(h.packedSize) + kCipherBlock - 1) / kCipherBlock * kCipherBlock;
    size_t need = blocks + Rar20Decoder::kInputPadding;
    if (need > packedCapacity_) {
        unsigned char* grown = static_cast<unsigned char*>(std::realloc(packed_, need));
        if (!grown)
            return false;
        packed_ = grown;
        packedCapacity_ = need;
    }
    if (!readAt(dataStart, packed_, h.packedSize))
        return false;
    std::memset(packed_ + h.packedSize, 0, need - h.packedSize);
    // Members of versions before 2.0 used another cipher: read as they are,
    // they fail their checksum.
    if ((h.flags & kFileEncrypted) && password_[0] != '\0' && h.version >= kCipherVersion) {
        if (keyed_) {
            cipher_.restart();
        } else {
            cipher_.setKey(password_);
            keyed_ = true;
        }
        cipher_.decrypt(packed_, blocks);
        std::memset(packed_ + h.packedSize, 0, need - h.packedSize);
    }

    if (stored) {
        // A stored member shorter than its claimed size fails (checked above).
        std::memcpy(out_, packed_, h.unpackedSize);
    } else if (h.packedSize > 0 || h.unpackedSize > 0) {
        if (!decoder_) {
            decoder_ = new (std::nothrow) Rar20Decoder;
            if (!decoder_ || !decoder_->init())
                return false;
        }
        if (!decoder_->decode(packed_, h.packedSize, h.unpackedSize, (h.flags & kFileSolid) != 0,
                              wanted ? out_ : nullptr))
            return false;
    }
    if (wanted && crc32(out_, h.unpackedSize) != h.crc)
        return false;
    return true;
}

bool ArchiveExtraction::open(const char* archivePath, bool& solidArchive, uint64_t& pos)
{
    file_ = std::fopen(archivePath, "rb");
    if (!file_)
        return false;
    if (std::fseek(file_, 0, SEEK_END) != 0)
        return false;
    long length = std::ftell(file_);
    if (length < 0)
        return false;
    fileSize_ = static_cast<uint64_t>(length);

    unsigned char marker[kMarkerSize];
    if (!readAt(0, marker, kMarkerSize))
        return false;
    if (std::memcmp(marker, kMarkerRar, kMarkerSize) != 0 && std::memcmp(marker, kMarkerTrevix, kMarkerSize) != 0)
        return false;
    unsigned char header[kArchiveHeaderSize];
    if (!readAt(kMarkerSize, header, kArchiveHeaderSize))
        return false;
    ByteReader r(header, sizeof header);
    r.u16(); // header CRC
    r.u8();  // type
    uint16_t archiveFlags = r.u16();
    uint16_t archiveHeaderSize = r.u16();
    if (archiveHeaderSize < kArchiveHeaderSize)
        return false;
    solidArchive = (archiveFlags & kArchiveSolid) != 0;
    pos = kMarkerSize + archiveHeaderSize;
    return true;
}

ArchiveMember ArchiveExtraction::find(const char* archivePath, const char* memberName)
{
    char wantedName[kMaxNameCompare + 1];
    normalizeName(memberName, kMaxNameCompare, wantedName);
    bool solidArchive = false;
    uint64_t pos = 0;
    if (!open(archivePath, solidArchive, pos))
        return ArchiveMember::Missing;
    MemberHeader h;
    uint64_t dataStart = 0;
    while (readMemberHeader(pos, h, dataStart) == Next::Member)
        if (std::strcmp(h.name, wantedName) == 0)
            return (h.flags & kFileEncrypted) ? ArchiveMember::Encrypted : ArchiveMember::Plain;
    return ArchiveMember::Missing;
}

int ArchiveExtraction::run(const char* archivePath, const char* memberName, unsigned char** data, uint32_t* size)
{
    char wantedName[kMaxNameCompare + 1];
    normalizeName(memberName, kMaxNameCompare, wantedName);
    bool solidArchive = false;
    uint64_t pos = 0;
    if (!open(archivePath, solidArchive, pos))
        return 0;
    MemberHeader h;
    uint64_t dataStart = 0;
    while (readMemberHeader(pos, h, dataStart) == Next::Member) {
        bool wanted = std::strcmp(h.name, wantedName) == 0;
        if (wanted || solidArchive) {
            if (!processMember(h, dataStart, wanted))
                return 0;
        }
        if (wanted) {
            *data = out_;
            *size = h.unpackedSize;
            out_ = nullptr;
            return 1;
        }
    }
    return 0;
}

} // namespace

void setPasswordWipeCheck(PasswordWipeCheck check)
{
    wipeCheck = check;
}

ArchiveMember findMember(const char* archivePath, const char* memberName)
{
    if (!archivePath || !memberName)
        return ArchiveMember::Missing;
    ArchiveExtraction walk(nullptr);
    return walk.find(archivePath, memberName);
}

int extractMember(const char* archivePath, const char* memberName, const char* password, unsigned char** data,
                  uint32_t* size)
{
    *data = nullptr;
    *size = 0;
    if (!archivePath || !memberName)
        return 0;
    ArchiveExtraction extraction(password);
    return extraction.run(archivePath, memberName, data, size);
}
