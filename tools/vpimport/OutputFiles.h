#pragma once
// Files written whole or not at all: each goes to a temporary name beside
// its place and is renamed over it once complete, so that a reader never
// sees half a file and a failed import leaves the old file as it was.

#include <string>
#include <vector>

bool writeWhole(const std::string& path, const std::vector<unsigned char>& bytes, std::string& error);

// The folder part of a path ("." when it has none).
std::string folderOf(const std::string& path);
