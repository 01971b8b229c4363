#include "gl/ImageLookup.h"

#include "resources/VFile.h"

#include <cstring>
#include <sys/stat.h>

namespace {

constexpr const char* kTextureFolder = "data/textures/";

bool isFile(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool decodableEnding(const std::string& name)
{
    if (name.size() < 4)
        return false;
    const std::string ending = name.substr(name.size() - 4);
    return ending == ".png" || ending == ".PNG" || ending == ".jpg" || ending == ".JPG";
}

} // namespace

std::string explainPictureFailure(const char* nameText)
{
    const std::string name = nameText ? nameText : "";
    if (!decodableEnding(name))
        return "only names ending in .png or .jpg (or .PNG, .JPG) are read";
    if (vfarchivemode())
        return "looked up as " + name + " in the archive: missing there, or not a PNG or JPEG it can read";
    if (isFile(name))
        return name + " is not a PNG or JPEG file it can read";
    std::string why = "no file " + name + " in the production folder (a picture's name is its path from there";
    // A texture name carries no folders.
    const size_t slash = name.find_last_of("/\\");
    const std::string texture = kTextureFolder + (slash == std::string::npos ? name : name.substr(slash + 1));
    if (texture != name && isFile(texture))
        why += "; " + texture + " is there";
    return why + ")";
}
