#pragma once
// The production's two shadow scenes and the picture the projector throws,
// written with the scene writer into data/ and data/textures/:
//
//   shadow.vsc     a stage under the spotlight "Spot01": crates circling a
//                  plinth, balls bouncing and a knot turning over it, all
//                  casting depth-map shadows on the tiled floor, a cool fill
//                  light from the other side
//   projector.vsc  white orbs, columns and a ring under "Projector01", which
//                  throws rose.png onto them while its aim circles
//
// Object and light names are listed in ProductionShadowScenes.cpp; the script
// plays them in production/data/theme.scr and climax.scr. The floors use the
// textures that ProductionScenes writes.

#include <string>

// Writes both scenes and rose.png under `dataDir` (whose textures/ folder
// exists). False, with a message on stderr, when a file cannot be written.
bool writeShadowScenes(const std::string& dataDir);
