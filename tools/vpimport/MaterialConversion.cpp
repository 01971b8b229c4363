#include "tools/vpimport/MaterialConversion.h"

#include <assimp/GltfMaterial.h>

#include <algorithm>

namespace {

bool colour(const aiMaterial& m, const char* key, unsigned type, unsigned index, Vec3& out)
{
    aiColor3D c;
    if (m.Get(key, type, index, c) != AI_SUCCESS)
        return false;
    out = Vec3(c.r, c.g, c.b);
    return true;
}

// The texture of `type` at slot `slot`, with the coordinate set it reads.
bool texture(const aiMaterial& m, aiTextureType type, unsigned slot, std::string& path, unsigned& uvSet)
{
    if (m.GetTextureCount(type) <= slot)
        return false;
    aiString p;
    unsigned uv = 0;
    if (m.GetTexture(type, slot, &p, nullptr, &uv) != AI_SUCCESS || p.length == 0)
        return false;
    path = p.C_Str();
    uvSet = uv;
    return true;
}

std::string exported(TextureExport& textures, const std::string& path, std::vector<std::string>& notes)
{
    std::string note;
    std::string name = textures.add(path, note);
    if (!note.empty() && std::find(notes.begin(), notes.end(), note) == notes.end())
        notes.push_back(note);
    return name;
}

} // namespace

void convertMaterial(const aiMaterial& m, bool gouraudIsLambert, TextureExport& textures, MaterialRecord& out,
                     std::vector<std::string>& notes)
{
    Vec3 diffuse(0.8f, 0.8f, 0.8f);
    if (!colour(m, AI_MATKEY_COLOR_DIFFUSE, diffuse))
        colour(m, AI_MATKEY_BASE_COLOR, diffuse);
    out.diffuse = diffuse;
    // Without an ambient colour of its own a surface takes its diffuse
    // colour there too, as modelling tools lock the two by default.
    if (!colour(m, AI_MATKEY_COLOR_AMBIENT, out.ambient) ||
        (out.ambient.x == 0.0f && out.ambient.y == 0.0f && out.ambient.z == 0.0f))
        out.ambient = diffuse;

    Vec3 specular;
    float shininess = 0.0f, strength = 1.0f;
    m.Get(AI_MATKEY_SHININESS, shininess);
    m.Get(AI_MATKEY_SHININESS_STRENGTH, strength);
    // A Lambert (or flat, or unlit) surface has no highlight, whatever
    // specular colour the library fills in for it: its COLLADA reader gives
    // every material a grey specular and a shininess of 10 by default.
    int shading = aiShadingMode_Phong;
    m.Get(AI_MATKEY_SHADING_MODEL, shading);
    bool glossy = !(shading == aiShadingMode_Gouraud && gouraudIsLambert) && shading != aiShadingMode_Flat &&
                  shading != aiShadingMode_NoShading;
    if (glossy && colour(m, AI_MATKEY_COLOR_SPECULAR, specular) && shininess > 0.0f) {
        out.specular = specular;
        out.specularLevel = std::clamp(strength, 0.0f, 4.0f);
    } else {
        out.specular = Vec3();
        out.specularLevel = 0.0f;
    }
    // The source's shininess is the Phong exponent, which the engine takes
    // as glossiness x 128.
    out.glossiness = std::clamp(shininess / 128.0f, 0.0f, 1.0f);

    // Opacity 0 would hide the surface altogether; exporters write it when
    // they mean the opposite (transparency 0), so it is read as opaque.
    float opacity = 1.0f;
    if (m.Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS && opacity > 0.0f)
        out.opacity = std::min(opacity, 1.0f);
    int twoSided = 0;
    if (m.Get(AI_MATKEY_TWOSIDED, twoSided) == AI_SUCCESS)
        out.twoSided = twoSided != 0;

    std::string path;
    unsigned uv = 0;
    std::string second;
    if (texture(m, aiTextureType_DIFFUSE, 0, path, uv) || texture(m, aiTextureType_BASE_COLOR, 0, path, uv)) {
        if (uv == 1)
            second = path; // a diffuse texture on the second set is a lightmap in all but name
        else
            out.diffuseMap = exported(textures, path, notes);
    }
    if (texture(m, aiTextureType_LIGHTMAP, 0, path, uv) || texture(m, aiTextureType_DIFFUSE, 1, path, uv) ||
        texture(m, aiTextureType_AMBIENT_OCCLUSION, 0, path, uv))
        second = path;
    if (second.empty() && texture(m, aiTextureType_REFLECTION, 0, path, uv))
        second = path;
    if (!second.empty())
        out.secondMap = exported(textures, second, notes);
    if (texture(m, aiTextureType_NORMALS, 0, path, uv) || texture(m, aiTextureType_NORMAL_CAMERA, 0, path, uv)) {
        out.bumpMap = exported(textures, path, notes);
    } else if (texture(m, aiTextureType_HEIGHT, 0, path, uv)) {
        // The engine's bump mapping lights by a normal map; a height map
        // (3DS and OBJ bump maps) becomes one.
        std::string note;
        out.bumpMap = textures.addHeightAsNormals(path, note);
        if (!note.empty() && std::find(notes.begin(), notes.end(), note) == notes.end())
            notes.push_back(note);
    }
    if (texture(m, aiTextureType_OPACITY, 0, path, uv))
        out.opacityMap = exported(textures, path, notes);

    // The engine multiplies its texture by the lit diffuse colour; a tool
    // that shows a texture over a black or unset colour means the texture alone.
    if (!out.diffuseMap.empty() && diffuse.x + diffuse.y + diffuse.z < 0.01f)
        out.diffuse = out.ambient = Vec3(1.0f, 1.0f, 1.0f);
}
