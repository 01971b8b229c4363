#pragma once
// The textures a model uses, found and made ready for the player: PNG files
// are kept byte for byte; JPEG files are kept as JPEG, flipped upside down
// without loss, since the engine shows a JPEG bottom row first (its scenes'
// texture coordinates were made for that) and a PNG top row first; pictures
// in any other format (TGA, BMP, PSD, GIF, HDR, ...), a JPEG that cannot be
// flipped without loss, and the pixel blocks some files embed are written as
// PNG. Each gets a name the scene file can hold and the reader accepts (at
// most 99 bytes, ending .png or .jpg, no backslash), prefixed with the
// model's name so that the textures of several imports can share a folder.

#include <assimp/scene.h>

#include <map>
#include <string>
#include <vector>

struct TextureFile {
    std::string name; // as the scene file names it, inside the textures folder
    std::vector<unsigned char> bytes;
};

class TextureExport {
public:
    TextureExport(const aiScene& scene, std::string modelFolder, std::string prefix);

    // The scene file's name for the texture the material names `path`, or
    // empty when it cannot be had; `note` then says why.
    std::string add(const std::string& path, std::string& note);
    // The same for a height map, written as the tangent-space normal map the
    // engine's bump mapping takes (the heights' slopes, red along u, green
    // along v).
    std::string addHeightAsNormals(const std::string& path, std::string& note);

    const std::vector<TextureFile>& files() const { return out; }

private:
    std::string addConverted(const std::string& path, bool asNormals, std::string& note);
    bool load(const std::string& path, std::vector<unsigned char>& bytes, std::string& stem, std::string& note);
    std::string findOnDisk(const std::string& path) const;
    std::string uniqueName(const std::string& stem, const char* ending);

    const aiScene& scene;
    std::string folder;
    std::string prefix;
    std::map<std::string, std::string> byPath; // source path -> name ("" when it failed)
    std::map<std::string, std::string> notes;
    std::vector<TextureFile> out;
};

// The JPEG upside down, without decoding it; false when that cannot be
// done without loss (a height that is not a whole number of blocks).
bool flipJpeg(const unsigned char* data, size_t size, std::vector<unsigned char>& out);

// PNG bytes for any picture stb_image reads; false when it cannot.
bool convertPicture(const unsigned char* data, size_t size, std::vector<unsigned char>& png, const char*& ending,
                    std::string& reason);

// A normal map (PNG) from a picture of heights (its brightness), the
// slopes scaled by `strength` per pixel of height range.
bool heightToNormals(const unsigned char* data, size_t size, float strength, std::vector<unsigned char>& png,
                     std::string& reason);
