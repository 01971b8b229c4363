#include "resources/VFile.h"

#include "platform/MessageBox.h"
#include "resources/ArchiveReader.h"
#include "resources/FileSnapshot.h"

#include <cassert>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The source switch. Set once by the run before any data file is opened and
// kept for the rest of the process.
struct VFileSource {
    bool archiveMode = false;
    std::string archivePath;
    std::string password;
    FileSnapshot* record = nullptr;
    std::shared_ptr<const FileSnapshot> snapshot;
};

VFileSource& source()
{
    // Never destroyed: files may still be opened from exit handlers.
    static VFileSource* s = new VFileSource;
    return *s;
}

VFile* openFromArchive(const char* name, VFile* file)
{
    const VFileSource& src = source();
    std::string nameCopy(name);
    unsigned char* data = nullptr;
    uint32_t size = 0;
    int status = extractMember(src.archivePath.c_str(), nameCopy.c_str(), src.password.c_str(), &data, &size);
    if (status != 1) {
        // The reader reports no data after a failure, so size and ptr print as
        // 0; the pointer is shown as a signed int, as the box always has.
        // snprintf cuts an over-long name instead of running past the buffer.
        char text[1024];
        std::snprintf(text, sizeof text, "filename: %s\ndata size: %i, ptr: %i, retVal: %i", name,
                      static_cast<int>(size), static_cast<int>(reinterpret_cast<intptr_t>(data)), status);
        std::free(data);
        showMessageBox("message", text, BoxIcon::None);
        return nullptr;
    }
    if (!file)
        file = new VFile;
    file->pos = 0;
    file->size = size;
    file->data = data;
    return file;
}

VFile* openFromDisk(const char* name, VFile* file)
{
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return nullptr;
    // A directory opens fine on Linux and reports a meaningless length, and a
    // file over 4 GiB cannot be held in a 32-bit size: both fail like a file
    // that cannot be opened, as does a read that comes up short, rather than
    // handing the caller a buffer of uninitialised bytes.
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0)
        length = std::ftell(f);
    if (length < 0 || static_cast<unsigned long>(length) > UINT32_MAX || std::fseek(f, 0, SEEK_SET) != 0) {
        std::fclose(f);
        return nullptr;
    }
    uint32_t size = static_cast<uint32_t>(length);
    // malloc(0) may return null; one spare byte keeps the empty file a success.
    unsigned char* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!data) {
        std::fclose(f);
        return nullptr;
    }
    size_t got = size ? std::fread(data, size, 1, f) : 1;
    std::fclose(f);
    if (got != 1) {
        std::free(data);
        return nullptr;
    }
    if (!file)
        file = new VFile;
    file->pos = 0;
    file->size = size;
    file->data = data;
    return file;
}

VFile* openFromKept(const FileSnapshot::Entry& kept, VFile* file)
{
    if (!kept.present)
        return nullptr;
    const std::vector<unsigned char>& bytes = kept.bytes;
    const size_t size = bytes.size();
    unsigned char* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
    if (!data)
        return nullptr;
    if (size)
        std::memcpy(data, bytes.data(), size);
    if (!file)
        file = new VFile;
    file->pos = 0;
    file->size = static_cast<uint32_t>(size);
    file->data = data;
    return file;
}

} // namespace

VFile::VFile() : size(0), pos(0), data(nullptr), valid(true) {}

VFile::VFile(const char* name) : size(0), pos(0), data(nullptr), valid(false)
{
    valid = vfopen(name, this) == this;
}

VFile::~VFile()
{
    std::free(data);
    data = nullptr;
    valid = false;
}

void vfsetarchive(const char* archivePath, const char* password)
{
    VFileSource& src = source();
    src.archivePath = archivePath ? archivePath : "";
    src.password = password ? password : "";
    src.archiveMode = true;
}

void vfsetrecord(FileSnapshot* record)
{
    source().record = record;
}

void vfsetsnapshot(std::shared_ptr<const FileSnapshot> snapshot)
{
    source().snapshot = std::move(snapshot);
}

bool vfarchivemode()
{
    return source().archiveMode;
}

VFile* vfopen(const char* name, VFile* file)
{
    assert(name);
    assert(!file || !file->data);
    VFileSource& src = source();
    if (src.snapshot) {
        if (const FileSnapshot::Entry* kept = src.snapshot->find(name))
            return openFromKept(*kept, file);
    }
    if (src.record) {
        if (const FileSnapshot::Entry* kept = src.record->find(name))
            return openFromKept(*kept, file);
    }
    VFile* opened = src.archiveMode ? openFromArchive(name, file) : openFromDisk(name, file);
    if (src.record) {
        if (opened)
            src.record->add(name, opened->data, opened->size);
        else
            src.record->addMissing(name);
    }
    return opened;
}

unsigned vfread(void* buffer, unsigned elementSize, unsigned count, VFile* file)
{
    unsigned char* out = static_cast<unsigned char*>(buffer);
    for (unsigned i = 0; i < count; ++i) {
        // "pos + elementSize > size", written so that a position wrapped round
        // by a negative seek cannot overflow the sum and pass the test.
        if (file->pos > file->size || elementSize > file->size - file->pos)
            return i;
        std::memcpy(out + static_cast<size_t>(i) * elementSize, file->data + file->pos, elementSize);
        file->pos += elementSize;
    }
    return count;
}

int vfseek(VFile* file, long offset, int origin)
{
    // Positions are 32-bit and wrap, as the record's field does.
    switch (origin) {
    case 0: file->pos = static_cast<uint32_t>(offset); break;
    case 1: file->pos = file->pos + static_cast<uint32_t>(offset); break;
    case 2: file->pos = file->size + static_cast<uint32_t>(offset); break;
    default: break;
    }
    return 0;
}

uint32_t vftell(VFile* file)
{
    return file->pos;
}

char* vfgets(char* buffer, int length, VFile* file)
{
    // A length below 1 leaves no room even for the NUL: nothing is written.
    int i = 0;
    while (i < length - 1) {
        if (file->pos >= file->size || file->data[file->pos] == '\r')
            break;
        buffer[i++] = static_cast<char>(file->data[file->pos++]);
    }
    if (length > 0)
        buffer[i] = '\0';
    // Steps over the CR LF pair without looking at it: the tree file's lines
    // all end so, and its reader counts on this even at a cut or at the end.
    file->pos += 2;
    return buffer;
}

int vfclose(VFile* file)
{
    delete file;
    return 0;
}
