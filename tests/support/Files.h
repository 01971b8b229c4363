#pragma once
// Whole files read back by tests.

#include <cstdio>
#include <string>
#include <vector>

// Everything in the file, as bytes or, with readFile<std::string>, as text;
// empty when it cannot be read.
template <class Container = std::vector<unsigned char>>
Container readFile(const std::string& path)
{
    Container out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    std::fclose(f);
    return out;
}
