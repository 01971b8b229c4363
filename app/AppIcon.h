#pragma once
// The player's application icon, drawn in code at any size: a glowing ring
// with a tail (the Q of Quorvantix) over a dark rounded tile.
#include <vector>

// size x size pixels, 4 bytes (R, G, B, A) per pixel, top row first.
std::vector<unsigned char> drawAppIcon(int size);
