#pragma once
// The pictures the image layers of the sample production show, drawn in code
// (distance-field strokes with a soft glow, rings, a tileable plasma) and
// written as PNG files into `dir` (normally <production>/data/textures). The
// same bytes on every run. Returns false, after a message on stderr, when a
// file cannot be written.
//
// Files (RGBA with a transparent background unless noted):
//   vp_plasma.png                  256x256 opaque, tiles seamlessly (scrolled)
//   vp_emblem.png                  256x256 ringed emblem (spun)
//   vp_title.png                   1024x256 "VELMOR PROCESS" (revealed)
//   vp_credit_code.png, vp_credit_music.png, vp_credit_visuals.png,
//   vp_credit_thanks.png           512x256 two-line credits (stepped)
//   vp_glyph_circle.png, vp_glyph_triangle.png, vp_glyph_square.png,
//   vp_glyph_diamond.png           128x128 neon shapes (stepped on the beat)

#include <string>

bool writeImageLayerTextures(const std::string& dir);
