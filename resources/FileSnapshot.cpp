#include "resources/FileSnapshot.h"

#include "resources/ByteReader.h"

#include <cstdio>
#include <cstring>

namespace {

// "VPSNAP1\0", a count, then per file: present (u8), name length (u32),
// name, size (u32), bytes. Little-endian.
constexpr char kMagic[8] = {'V', 'P', 'S', 'N', 'A', 'P', '1', '\0'};

void putU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// The whole file, or false when it cannot be read.
bool readWhole(const char* path, std::vector<unsigned char>& out)
{
    out.clear();
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    unsigned char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace

void FileSnapshot::add(const std::string& name, const unsigned char* data, uint32_t size)
{
    if (files.count(name))
        return;
    Entry& entry = files[name];
    entry.present = true;
    entry.bytes.assign(data, data + size);
}

void FileSnapshot::addMissing(const std::string& name)
{
    files.emplace(name, Entry());
}

void FileSnapshot::removeHeldBy(const FileSnapshot& other)
{
    for (const auto& [name, entry] : other.files)
        files.erase(name);
}

const FileSnapshot::Entry* FileSnapshot::find(const std::string& name) const
{
    auto it = files.find(name);
    return it == files.end() ? nullptr : &it->second;
}

bool FileSnapshot::matchesDisk() const
{
    std::vector<unsigned char> now;
    for (const auto& [name, entry] : files) {
        // A folder opens on Linux but does not read, as for vfopen.
        const bool readable = readWhole(name.c_str(), now);
        if (readable != entry.present || (readable && now != entry.bytes))
            return false;
    }
    return true;
}

bool FileSnapshot::agreesWith(const FileSnapshot& other) const
{
    for (const auto& [name, entry] : files) {
        const Entry* theirs = other.find(name);
        if (theirs && (theirs->present != entry.present || theirs->bytes != entry.bytes))
            return false;
    }
    return true;
}

bool FileSnapshot::save(const char* path) const
{
    std::vector<unsigned char> out(kMagic, kMagic + sizeof kMagic);
    putU32(out, static_cast<uint32_t>(files.size()));
    for (const auto& [name, entry] : files) {
        out.push_back(entry.present ? 1 : 0);
        putU32(out, static_cast<uint32_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        putU32(out, static_cast<uint32_t>(entry.bytes.size()));
        out.insert(out.end(), entry.bytes.begin(), entry.bytes.end());
    }
    std::FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool FileSnapshot::load(const char* path)
{
    files.clear();
    std::vector<unsigned char> in;
    if (!readWhole(path, in))
        return false;
    ByteReader reader(in.data(), in.size());
    char magic[sizeof kMagic];
    if (!reader.bytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        return false;
    const uint32_t count = reader.u32();
    for (uint32_t i = 0; i < count && reader.ok(); ++i) {
        const bool present = reader.u8() != 0;
        const uint32_t nameLength = reader.u32();
        if (!reader.ok() || nameLength > reader.remaining())
            break;
        std::string name(reinterpret_cast<const char*>(in.data() + reader.pos()), nameLength);
        reader.skip(nameLength);
        const uint32_t size = reader.u32();
        if (!reader.ok() || size > reader.remaining())
            break;
        Entry& entry = files[name];
        entry.present = present;
        entry.bytes.assign(in.data() + reader.pos(), in.data() + reader.pos() + size);
        reader.skip(size);
    }
    if (!reader.ok() || files.size() != count || reader.remaining() != 0) {
        files.clear();
        return false;
    }
    return true;
}
