#pragma once
// The file a fuzz target hands to a reader that only takes a path: one per
// process, in /dev/shm where there is one. On a disk file system, truncating
// and rewriting a file for every input makes the file system write it out on
// close, which costs more than everything the reader then does.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// Writes `data` to this process's input file, `stem`.<pid>`extension`
// (removed at exit), and returns its path, or an empty string when the file
// cannot be written.
inline std::string writeFuzzInput(const char* stem, const char* extension, const uint8_t* data, size_t size)
{
    static const std::string path = [stem, extension] {
        std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "";
        static std::string name = dir + stem + "." + std::to_string(getpid()) + extension;
        std::atexit([] { std::remove(name.c_str()); });
        return name;
    }();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return {};
    bool written = std::fwrite(data, 1, size, f) == size;
    if (std::fclose(f) != 0 || !written)
        return {};
    return path;
}
