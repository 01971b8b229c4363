#pragma once
#include <cstdint>

// Writes an 8-bit RGB PNG from a picture read back from GL: `rgba` holds
// height rows of width RGBA pixels, bottom row first, as glReadPixels gives
// them. The alpha channel is dropped. False when the file cannot be written.
bool writePNG(const char* path, int width, int height, const uint8_t* rgba);
// The same with a caller's buffer of width * 3 bytes for one row, so that
// writing many frames allocates no row each time.
bool writePNG(const char* path, int width, int height, const uint8_t* rgba, uint8_t* row);
