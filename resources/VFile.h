#pragma once
// The virtual file layer: every data file of the production (script, scenes,
// textures, the tree file) is read through it. A file comes either from disk
// under its relative name ("data/testscript.scr") or, once vfsetarchive has
// been called, from the one data archive. Either way the whole file is read
// into one heap block at open time, and the format readers then issue many
// small reads against that block without touching the disk again.
//
// The functions mirror the standard stream functions with a "vf" prefix and
// take the record last, as those do. Single-threaded: the source switch is
// process-wide and unlocked, and the archive reader behind it keeps no state
// that two overlapping opens could share safely.

#include <cstdint>
#include <memory>

class FileSnapshot;

// An in-memory file. Owns its byte block (from malloc, freed by the record).
// The block is not NUL-terminated: text readers must stop at `size`.
class VFile {
public:
    // An empty record to be filled by vfopen: no data, valid.
    VFile();
    // Opens `name` from the current source; `valid` says whether it worked.
    explicit VFile(const char* name);
    ~VFile();

    VFile(const VFile&) = delete;
    VFile& operator=(const VFile&) = delete;

    uint32_t size;        // bytes in data
    uint32_t pos;         // read offset into data in bytes; may lie beyond size
    unsigned char* data;  // the whole file content, owned
    bool valid;           // true when the record holds an opened file
};

// Switches the layer to archive mode for the rest of the process: every later
// vfopen extracts its file from the archive at `archivePath` (a file name
// relative to the working directory) with `password`. Both are copied.
void vfsetarchive(const char* archivePath, const char* password);

// True once vfsetarchive has been called.
bool vfarchivemode();

// Live reload. While a record is set, every file opened from the source is
// copied into it, and every name that fails is noted as missing; a name it
// already holds is opened from it, as first read (null stops recording; the
// record stays the caller's).
void vfsetrecord(FileSnapshot* record);
// While a snapshot is set, a name it holds is opened from it, as it was read
// then (a name it holds as missing fails, silently); other names come from
// the source as before. Null goes back to the source alone.
void vfsetsnapshot(std::shared_ptr<const FileSnapshot> snapshot);

// Opens `name` from the current source. `file` may be an empty record to fill
// (its data must be none) or null, in which case a new record is allocated
// (release it with vfclose). Returns the record, or null on failure; a supplied
// record is left unchanged on failure. On disk a failure is silent (the caller
// words its own message); from the archive it shows the "message" box once.
VFile* vfopen(const char* name, VFile* file = nullptr);

// Copies up to `count` whole elements of `elementSize` bytes and returns how
// many were copied. A trailing partial element is not copied and `pos` does not
// move for it.
unsigned vfread(void* buffer, unsigned elementSize, unsigned count, VFile* file);

// Origins as for fseek: 0 from the start, 1 from the current position, 2 from
// the end; any other origin changes nothing. No range check: a position past
// the end makes later reads return nothing. Always returns 0.
int vfseek(VFile* file, long offset, int origin);

uint32_t vftell(VFile* file);

// Reads one CR LF terminated line into `buffer` (at most length - 1 bytes plus
// a NUL) and then steps `pos` over two bytes, whether or not it stopped at a
// CR: a long line loses the two bytes after the cut, and a lone LF is copied as
// an ordinary byte. Returns `buffer`.
char* vfgets(char* buffer, int length, VFile* file);

// Destroys and deletes a record from vfopen(name, null); null is allowed.
// Always returns 0.
int vfclose(VFile* file);
