#pragma once
// The shared libraries every Linux desktop has, so that a release leaves
// them out: the C library, OpenGL, the X11 client libraries, fontconfig,
// ALSA, and what those depend on. It is what Debian's packages libgl1,
// libgl1-mesa-dri, libx11-6, libxext6, libxcursor1, libxi6, libxrandr2,
// libxinerama1, libxft2, libfontconfig1, libxss1, libxfixes3 and libasound2
// bring into a minimal system; Ubuntu 22.04 and Mint 21 desktops have them
// all. Anything else a release player loads ships in its lib/.
#include <string>

// `soname` as ldd prints it ("libX11.so.6").
bool isStockLibrary(const std::string& soname);
