#pragma once
// The data files of one build as they were read: every name opened through
// the virtual file layer with its bytes, or marked missing when it could not
// be read. Live reload keeps the one that last checked clean, so that a build
// made while the files on disk are half-saved or broken is made from exactly
// what was checked; the check process records it and hands it over as a file.
//
// Immutable once handed to vfsetsnapshot: the watch thread compares it with
// the disk while the run reads from it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class FileSnapshot {
public:
    struct Entry {
        bool present = false; // false: the name could not be read
        std::vector<unsigned char> bytes;
    };

    // The first reading of a name is the one kept: a file read twice by one
    // build is read as it was the first time.
    void add(const std::string& name, const unsigned char* data, uint32_t size);
    void addMissing(const std::string& name);
    void clear() { files.clear(); }
    // Lets go of every name that `other` holds.
    void removeHeldBy(const FileSnapshot& other);

    const Entry* find(const std::string& name) const;
    const std::map<std::string, Entry>& entries() const { return files; }

    // True when each file on disk is what was read (a missing one still
    // missing): nothing the build reads has changed since.
    bool matchesDisk() const;

    // True when every name held by both was read alike by both.
    bool agreesWith(const FileSnapshot& other) const;

    // The whole snapshot in one file, and back. load fails on a short or
    // malformed file and leaves the snapshot empty.
    bool save(const char* path) const;
    bool load(const char* path);

private:
    std::map<std::string, Entry> files;
};
