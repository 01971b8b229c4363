#pragma once
// Captured frames as DIR/frame_NNNNNN.png, compressed on as many workers as
// the machine has cores (two to eight). The first file that cannot be
// written prints "vplayer: cannot write 'PATH'".

#include "app/FrameWriter.h"

#include <string>

FrameWriter* newPngFrameFiles(const std::string& dir);
