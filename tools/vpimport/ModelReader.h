#pragma once
// Reads a model with the Open Asset Import Library: triangulated, points
// and lines sorted apart (they have no surface to draw), degenerate faces
// and invalid data dropped, texture mappings other than UV sets turned into
// UV sets, texture transforms applied, and the library's own validation run
// over the result so that an index out of range stops here and not in the
// conversion.

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <string>

const aiScene* readModel(Assimp::Importer& importer, const std::string& path, std::string& error);
