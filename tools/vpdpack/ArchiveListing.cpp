#include "ArchiveListing.h"

#include "resources/ArchiveFormat.h"
#include "resources/ByteReader.h"

#include <cstdio>
#include <cstring>

using namespace archive;

bool listArchive(const std::string& path, std::vector<ListedMember>& members, bool& solidArchive,
                 std::string& error)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);

    if (bytes.size() < kMarkerSize + kArchiveHeaderSize ||
        (std::memcmp(bytes.data(), kMarkerRar, kMarkerSize) != 0 &&
         std::memcmp(bytes.data(), kMarkerTrevix, kMarkerSize) != 0)) {
        error = path + " is not a RAR 2.x archive";
        return false;
    }
    ByteReader r(bytes.data(), bytes.size());
    r.seek(kMarkerSize);
    r.skip(3);
    solidArchive = (r.u16() & kArchiveSolid) != 0;
    size_t pos = kMarkerSize + r.u16();
    while (pos + kBlockHeaderSize <= bytes.size()) {
        ByteReader b(bytes.data() + pos, bytes.size() - pos);
        b.skip(2);
        uint8_t type = b.u8();
        uint16_t flags = b.u16();
        uint16_t headerSize = b.u16();
        uint32_t dataSize = (flags & kBlockHasData) ? b.u32() : 0;
        if (!b.ok() || headerSize < kBlockHeaderSize)
            break;
        if (type == kTypeFile) {
            ListedMember m;
            m.packedSize = dataSize;
            m.unpackedSize = b.u32();
            b.skip(1);
            m.crc = b.u32();
            b.skip(4);
            m.version = b.u8();
            m.method = b.u8();
            uint16_t nameSize = b.u16();
            b.skip(4);
            if (!b.ok() || kFileHeaderSize + nameSize > headerSize || !b.seek(kFileHeaderSize))
                break;
            std::string name(nameSize, '\0');
            if (!b.bytes(name.data(), nameSize))
                break;
            m.name = name.c_str(); // a Unicode form may follow a NUL
            m.encrypted = (flags & kFileEncrypted) != 0;
            m.solid = (flags & kFileSolid) != 0;
            members.push_back(m);
        }
        pos += static_cast<size_t>(headerSize) + dataSize;
    }
    return true;
}
