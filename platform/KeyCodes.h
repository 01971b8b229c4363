#pragma once

// Windows virtual-key codes for an SDL keycode, so that the engine keeps its
// 256-entry key arrays indexed as it always was: Escape 27, Shift 16,
// Control 17, Home 36, arrows 37 to 40, digits 48 to 57, letters 65 to 90.
// Returns -1 for keys without a code.
int virtualKeyFromSdl(int sdlKeycode);
