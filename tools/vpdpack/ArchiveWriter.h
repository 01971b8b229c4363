#pragma once
// Writes RAR 2.x archives that the engine's reader and other RAR readers
// accept: stored or RAR 2.0 compressed members (normal or audio mode),
// optionally solid and optionally encrypted with the RAR 2.0 cipher.

#include <string>
#include <vector>

enum class PackMethod { Stored, Normal, Audio };

struct PackOptions {
    PackMethod method = PackMethod::Normal;
    bool solid = false;
    std::string password; // empty: no encryption
};

struct PackInput {
    std::string name;                 // member name as stored (see archiveMemberName)
    std::vector<unsigned char> data;
};

// "data/textures/wood.png" becomes "DATA\TEXTURES\WOOD.PNG", as the
// production's archive has always named its members; a leading "./" goes.
std::string archiveMemberName(const std::string& path);

// Writes the archive to `path`. Without solid, a member that does not shrink
// is stored; a solid run compresses every non-empty member. Empty members are
// always stored (and in a compressed solid archive, placed last). Returns false with `error` set when the file cannot be written.
bool writeArchive(const std::string& path, const std::vector<PackInput>& inputs, const PackOptions& options,
                  std::string& error);
