#pragma once
// A source material as the engine's material record. Colours, shininess and
// opacity carry over; the textures go to the maps the reader chooses its
// render mode from:
//   diffuse (or base colour) texture           -> the diffuse map
//   lightmap, or a texture on the second set   -> the second map
//   otherwise a reflection texture             -> the second map, which the
//                                                 engine maps by reflection
//   normal or height map                        -> the bump map
//   opacity texture                             -> the opacity map
// A Lambert, flat or unlit surface gets no highlight.

#include "tools/scenewriter/SceneRecords.h"
#include "tools/vpimport/TextureExport.h"

#include <assimp/material.h>

#include <string>
#include <vector>

// Fills `out` (whose id and name are set); notes say what could not be kept.
// `gouraudIsLambert`: the reader says Gouraud for a Lambert surface (all but
// 3DS, whose Gouraud materials have highlights).
void convertMaterial(const aiMaterial& material, bool gouraudIsLambert, TextureExport& textures,
                     MaterialRecord& out, std::vector<std::string>& notes);
