#pragma once
// Why a picture did not load, in words an author can act on: where its name
// was looked up, and what was wrong there. A picture's name (signals 31 and
// 110 of the image layers) is its path from the production's folder, or its
// name in the archive, while the textures of scenes are looked up in
// data/textures/ by file name alone; a picture named like a texture is the
// usual slip, so the message says when the texture folder holds that file.
//
// For messages only: it looks at files on disk, never into the archive
// (whose reader shows a box for every member it cannot find).

#include <string>

// "no file title.png in the production folder (a picture's name is its path
// from there; data/textures/title.png is there)".
std::string explainPictureFailure(const char* name);
