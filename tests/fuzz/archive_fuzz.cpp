// Feeds whole archives to the archive reader: the input is written to a file
// (the reader takes a path) and a few member names are asked for, with and
// without a password, so that stored, compressed, solid and encrypted paths
// all see hostile bytes.
#include "resources/ArchiveReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = [] {
        std::atexit([] { std::remove(("archive_fuzz_input." + std::to_string(getpid()) + ".vpd").c_str()); });
        return "archive_fuzz_input." + std::to_string(getpid()) + ".vpd";
    }();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    // Names of members in the seed archives: a compressed one, a stored one,
    // one behind others in a solid run.
    static const char* const names[] = {"file.txt", "data/testscript.scr", "C", "B.BIN"};
    static const char* const passwords[] = {nullptr, "tavex"};
    for (const char* name : names) {
        for (const char* password : passwords) {
            unsigned char* out = nullptr;
            uint32_t outSize = 0;
            int status = extractMember(path.c_str(), name, password, &out, &outSize);
            if (status != 1 && (out || outSize))
                std::abort(); // a failure must hand back nothing
            if (status == 1 && !out)
                std::abort();
            std::free(out);
        }
    }
    return 0;
}
