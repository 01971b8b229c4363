#include "tools/vpimport/TextureExport.h"

#include <stb_image.h>
#include <stb_image_write.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

constexpr size_t kMaxName = 99;

bool isPng(const unsigned char* d, size_t n) { return n >= 8 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G'; }
bool isJpeg(const unsigned char* d, size_t n) { return n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF; }

void appendBytes(void* context, void* data, int size)
{
    auto* v = static_cast<std::vector<unsigned char>*>(context);
    auto* p = static_cast<unsigned char*>(data);
    v->insert(v->end(), p, p + size);
}

bool writePng(const unsigned char* rgba, int w, int h, int channels, std::vector<unsigned char>& png)
{
    png.clear();
    return stbi_write_png_to_func(appendBytes, &png, w, h, channels, rgba, w * channels) != 0 && !png.empty();
}

// The part of a file name worth keeping: letters, digits, '-' and '_'.
std::string cleanStem(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        base = base.substr(0, dot);
    std::string s;
    for (char c : base)
        s += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') ? c : '_';
    return s.empty() ? "texture" : s;
}

std::string lower(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// "%20" and friends, as glTF files write their URIs.
std::string percentDecoded(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

} // namespace

bool convertPicture(const unsigned char* data, size_t size, std::vector<unsigned char>& png, const char*& ending,
                    std::string& reason)
{
    int w = 0, h = 0, channels = 0;
    if (size > size_t(INT32_MAX)) {
        reason = "picture too large";
        return false;
    }
    unsigned char* pixels = stbi_load_from_memory(data, int(size), &w, &h, &channels, 0);
    if (!pixels) {
        reason = stbi_failure_reason() ? stbi_failure_reason() : "unknown picture format";
        return false;
    }
    // Grey pictures become RGB: the player's PNG decoder takes every
    // colour type, but a grey one with alpha is the rare case it least needs.
    std::vector<unsigned char> rgb;
    const unsigned char* src = pixels;
    int outChannels = channels;
    if (channels <= 2) {
        outChannels = channels == 1 ? 3 : 4;
        rgb.resize(size_t(w) * size_t(h) * size_t(outChannels));
        for (size_t i = 0; i < size_t(w) * size_t(h); ++i) {
            for (int c = 0; c < 3; ++c)
                rgb[i * size_t(outChannels) + size_t(c)] = pixels[i * size_t(channels)];
            if (channels == 2)
                rgb[i * 4 + 3] = pixels[i * 2 + 1];
        }
        src = rgb.data();
    }
    bool ok = writePng(src, w, h, outChannels, png);
    stbi_image_free(pixels);
    if (!ok)
        reason = "could not encode it as PNG";
    ending = ".png";
    return ok;
}

bool heightToNormals(const unsigned char* data, size_t size, float strength, std::vector<unsigned char>& png,
                     std::string& reason)
{
    int w = 0, h = 0, channels = 0;
    if (size > size_t(INT32_MAX)) {
        reason = "picture too large";
        return false;
    }
    unsigned char* grey = stbi_load_from_memory(data, int(size), &w, &h, &channels, 1);
    if (!grey) {
        reason = stbi_failure_reason() ? stbi_failure_reason() : "unknown picture format";
        return false;
    }
    // Central differences, wrapping at the edges as a tiled texture does.
    // The engine's tangent frame (Mesh::prepare) runs its first axis against
    // u and its second down the picture's rows, hence the signs: a raised
    // spot lit from the upper right is bright on its upper right.
    auto at = [&](int x, int y) { return grey[size_t((y + h) % h) * size_t(w) + size_t((x + w) % w)] / 255.0f; };
    std::vector<unsigned char> rgb(size_t(w) * size_t(h) * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float dx = (at(x + 1, y) - at(x - 1, y)) * 0.5f * strength;
            float dy = (at(x, y + 1) - at(x, y - 1)) * 0.5f * strength;
            float nx = dx, ny = -dy, nz = 1.0f;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            unsigned char* out = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
            out[0] = static_cast<unsigned char>(std::lround((nx / len * 0.5f + 0.5f) * 255.0f));
            out[1] = static_cast<unsigned char>(std::lround((ny / len * 0.5f + 0.5f) * 255.0f));
            out[2] = static_cast<unsigned char>(std::lround((nz / len * 0.5f + 0.5f) * 255.0f));
        }
    stbi_image_free(grey);
    if (!writePng(rgb.data(), w, h, 3, png)) {
        reason = "could not encode it as PNG";
        return false;
    }
    return true;
}

bool flipJpeg(const unsigned char* data, size_t size, std::vector<unsigned char>& out)
{
    tjhandle handle = tjInitTransform();
    if (!handle)
        return false;
    // Perfect only: a picture whose height is not a whole number of the
    // JPEG's blocks cannot be flipped without losing its last row of
    // blocks, and goes to PNG instead.
    tjtransform flip{};
    flip.op = TJXOP_VFLIP;
    flip.options = TJXOPT_PERFECT;
    unsigned char* flipped = nullptr;
    unsigned long flippedSize = 0;
    bool ok = tjTransform(handle, data, static_cast<unsigned long>(size), 1, &flipped, &flippedSize, &flip, 0) == 0;
    if (ok)
        out.assign(flipped, flipped + flippedSize);
    tjFree(flipped);
    tjDestroy(handle);
    return ok;
}

TextureExport::TextureExport(const aiScene& scene, std::string modelFolder, std::string prefix)
    : scene(scene), folder(std::move(modelFolder)), prefix(std::move(prefix))
{
}

std::string TextureExport::add(const std::string& path, std::string& note)
{
    return addConverted(path, false, note);
}

std::string TextureExport::addHeightAsNormals(const std::string& path, std::string& note)
{
    return addConverted(path, true, note);
}

std::string TextureExport::addConverted(const std::string& path, bool asNormals, std::string& note)
{
    const std::string key = (asNormals ? "normals:" : "") + path;
    auto known = byPath.find(key);
    if (known != byPath.end()) {
        note = notes[key];
        return known->second;
    }
    std::vector<unsigned char> bytes;
    std::string stem;
    std::string name;
    note.clear();
    if (path.empty())
        return name;
    if (load(path, bytes, stem, note)) {
        const char* ending = nullptr;
        std::vector<unsigned char> converted;
        std::string reason;
        if (asNormals) {
            // Four times the height range across one pixel: bumps that
            // show without turning every slope into a cliff.
            if (heightToNormals(bytes.data(), bytes.size(), 4.0f, converted, reason)) {
                bytes.swap(converted);
                ending = ".png";
                stem += "_normals";
            } else {
                note = "texture " + path + ": " + reason;
            }
        } else if (isPng(bytes.data(), bytes.size())) {
            ending = ".png";
        } else if (isJpeg(bytes.data(), bytes.size()) && flipJpeg(bytes.data(), bytes.size(), converted)) {
            bytes.swap(converted);
            ending = ".jpg";
        } else if (convertPicture(bytes.data(), bytes.size(), converted, ending, reason)) {
            bytes.swap(converted);
        } else {
            note = "texture " + path + ": " + reason;
        }
        if (note.empty()) {
            name = uniqueName(stem, ending);
            out.push_back({name, std::move(bytes)});
        }
    }
    byPath[key] = name;
    notes[key] = note;
    return name;
}

bool TextureExport::load(const std::string& path, std::vector<unsigned char>& bytes, std::string& stem,
                         std::string& note)
{
    // Pictures the file carries inside: "*N", or a name the library matched.
    if (const aiTexture* t = scene.GetEmbeddedTexture(path.c_str())) {
        stem = t->mFilename.length ? cleanStem(t->mFilename.C_Str()) : "embedded" + path.substr(path[0] == '*');
        if (t->mHeight == 0) {
            auto* p = reinterpret_cast<const unsigned char*>(t->pcData);
            bytes.assign(p, p + t->mWidth);
            return true;
        }
        // Raw texels, BGRA, top row first as the pictures on disk are.
        std::vector<unsigned char> rgba(size_t(t->mWidth) * t->mHeight * 4);
        for (size_t i = 0; i < size_t(t->mWidth) * t->mHeight; ++i) {
            const aiTexel& x = t->pcData[i];
            rgba[i * 4] = x.r;
            rgba[i * 4 + 1] = x.g;
            rgba[i * 4 + 2] = x.b;
            rgba[i * 4 + 3] = x.a;
        }
        if (!writePng(rgba.data(), int(t->mWidth), int(t->mHeight), 4, bytes)) {
            note = "texture " + path + ": could not encode the embedded picture";
            return false;
        }
        return true;
    }
    std::string found = findOnDisk(path);
    if (found.empty()) {
        note = "texture " + path + ": not found beside the model";
        return false;
    }
    if (!readFile(found, bytes)) {
        note = "texture " + found + ": cannot be read";
        return false;
    }
    stem = cleanStem(found);
    return true;
}

std::string TextureExport::findOnDisk(const std::string& original) const
{
    std::string path = percentDecoded(original);
    std::replace(path.begin(), path.end(), '\\', '/');
    std::string base = path.substr(path.find_last_of('/') + 1);
    std::string dir = folder.empty() ? "." : folder;
    // As written, relative to the model; then the name alone beside it; then
    // the name in any letter case (files made on Windows say "WOOD.JPG").
    const std::string candidates[] = {path[0] == '/' ? path : dir + "/" + path, dir + "/" + base};
    for (const std::string& c : candidates)
        if (isRegularFile(c))
            return c;
    std::string wanted = lower(base);
    std::string hit;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (lower(e->d_name) == wanted) {
                hit = dir + "/" + e->d_name;
                break;
            }
        closedir(d);
    }
    return hit.empty() || !isRegularFile(hit) ? std::string() : hit;
}

std::string TextureExport::uniqueName(const std::string& stem, const char* ending)
{
    std::string base = prefix + "_" + stem;
    size_t room = kMaxName - 4 - 4; // the ending and a "_NNN" to tell names apart
    if (base.size() > room)
        base.resize(room);
    std::string name = base + ending;
    for (int n = 2; std::any_of(out.begin(), out.end(), [&](const TextureFile& f) { return lower(f.name) == lower(name); });
         ++n)
        name = base + "_" + std::to_string(n) + ending;
    return name;
}
