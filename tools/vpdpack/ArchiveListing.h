#pragma once
// Lists the members of a RAR 2.x archive for the packer's "l" and "t"
// commands; the engine's reader itself only ever looks for one name.

#include <cstdint>
#include <string>
#include <vector>

struct ListedMember {
    std::string name;
    uint32_t packedSize = 0;
    uint32_t unpackedSize = 0;
    uint32_t crc = 0;
    unsigned version = 0;
    unsigned method = 0;
    bool encrypted = false;
    bool solid = false;
};

// False with `error` set when the file is missing or is no RAR 2.x archive.
bool listArchive(const std::string& path, std::vector<ListedMember>& members, bool& solidArchive,
                 std::string& error);
