#pragma once
// The data of the production's generated effects, written under `dataDir`:
//
//   tree.vsc    a small mossy planet "Sphere01" that the tree effect grows
//               its tree on, a second planet "Sphere02" far behind, two
//               cameras drifting round them (Camera01, Camera02: the effect
//               moves to the next camera when it hangs the trees)
//   build.vsc   a glossy "GeoSphere01" for the wobble and a crate "Box08"
//               beside it for the pulse, under a camera circling both
//   tree2.arb   the tree's parameters (three levels)
//
// False, with a message on stderr, when a file cannot be written.

#include <string>

bool writeGeneratedEffectsData(const std::string& dataDir);

// The parameter file's text, with "\n" line ends (written as CR LF).
extern const char* const kProductionTreeFile;
