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
    importer.SetPropertyInteger(AI_CONFIG_PP_SBP_REMOVE, aiPrimitiveType_POINT | aiPrimitiveType_LINE);
    importer.SetPropertyBool(AI_CONFIG_PP_FD_REMOVE, true);
    const unsigned flags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices | aiProcess_SortByPType |
                           aiProcess_FindDegenerates | aiProcess_FindInvalidData | aiProcess_GenUVCoords |
                           aiProcess_TransformUVCoords | aiProcess_ValidateDataStructure;
    const aiScene* scene = importer.ReadFile(path, flags);
    if (!scene) {
        error = oneLine(importer.GetErrorString());
        if (error.empty())
            error = "the file cannot be read";
        return nullptr;
    }
    if (scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) {
        error = "the file is incomplete";
        return nullptr;
    }
    return scene;
}
