// Feeds whole archives to the archive reader: the input is written to a file
// (the reader takes a path) and a few member names are asked for, with and
// without a password, so that stored, compressed, solid and encrypted paths
// all see hostile bytes.
#include "resources/ArchiveReader.h"

#include "fuzz/FuzzInputFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// A member name's byte as the reader compares it: "\", "/" and "_" alike,
// ASCII letters in upper case.
char fold(char c)
{
    if (c == '\\' || c == '/')
        return '_';
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - 'a' + 'A');
    return c;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = writeFuzzInput("archive_fuzz_input", ".vpd", data, size);
    if (path.empty())
        return 0;

    // Names of members in the seed archives: a compressed one, a stored one,
    // one behind others in a solid run.
    static const char* const names[] = {"file.txt", "data/testscript.scr", "C", "B.BIN"};
    static const char* const passwords[] = {nullptr, "tavex"};
    // A stored name is a run of the file's bytes, so a name whose matching
    // form occurs nowhere in the input cannot be found: asking for it walks
    // the whole archive as asking for any other missing name does. Only the
    // names that occur are asked for (a one-letter name nearly always does,
    // and walks to the end when it is no member); with none, the last is.
    std::string folded(reinterpret_cast<const char*>(data), size);
    for (char& c : folded)
        c = fold(c);
    bool asked = false;
    for (const char* name : names) {
        std::string wanted(name);
        for (char& c : wanted)
            c = fold(c);
        bool last = name == names[sizeof names / sizeof names[0] - 1];
        if (folded.find(wanted) == std::string::npos && (asked || !last))
            continue;
        asked = true;
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
