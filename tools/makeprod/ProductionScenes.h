#pragma once
// The sample production's 3D scenes and the textures they use, written with
// the scene writer into data/ (scenes) and data/textures/ (PNG and JPEG).
//
//   hall.vsc    lit pillars (mode 0), textured crates (1), a tiled floor with
//               a detail map (5), lamps with flares, a flickering light and a
//               sampled camera flight down the hall
//   swarm.vsc   a path swarm round a glowing ring (4: primary plus an added
//               reflection map) and detail-mapped ground
//   chrome.vsc  a mirror ball (10) and a chrome ring (11) reflecting a ring
//               of coloured blocks, flares
//   toon.vsc    figures that the script turns to ramp shading with outlines
//               (signal 230), on a textured floor
//   relief.vsc  DOT3 bump-mapped pieces (6 and 7) under a light that circles
//
// Object names, ids and cameras are listed in ProductionScenes.cpp; the
// script refers to them by name (signal 255) and id (signal 230).

#include <string>

// Writes every scene and texture under `dataDir` (which exists). False, with
// a message on stderr, when a file cannot be written.
bool writeProductionScenes(const std::string& dataDir);
