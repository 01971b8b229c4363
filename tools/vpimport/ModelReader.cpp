#include "tools/vpimport/ModelReader.h"

#include <assimp/config.h>
#include <assimp/postprocess.h>

namespace {

std::string oneLine(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

const aiScene* readModel(Assimp::Importer& importer, const std::string& path, std::string& error)
{
    // Points and lines are sorted into meshes of their own, which the
    // conversion leaves out; a file of nothing else then says so in its
    // own words.
    importer.SetPropertyBool(AI_CONFIG_PP_FD_REMOVE, true);
    const unsigned flags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_SortByPType |
                           aiProcess_FindDegenerates | aiProcess_FindInvalidData | aiProcess_GenUVCoords |
                           aiProcess_TransformUVCoords | aiProcess_ValidateDataStructure;
    const aiScene* scene = importer.ReadFile(path, flags);
    if (!scene) {
        error = oneLine(importer.GetErrorString());
        // The library catches the allocation failure that the address-space
        // limit causes and reports it by its type's name.
        if (error.find("bad_alloc") != std::string::npos)
            error = "out of memory: the file asks for more than the importer allows itself";
        if (error.empty())
            error = "the file cannot be read";
        return nullptr;
    }
    if (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) {
        error = "nothing to import: the file holds no meshes";
        return nullptr;
    }
    return scene;
}
