#include "StockLibraries.h"

#include <cstring>

namespace {

const char* const kStock[] = {
    // The C library and the compiler's runtime.
    "ld-linux-x86-64.so.2", "libc.so.6", "libm.so.6", "libdl.so.2", "libpthread.so.0", "librt.so.1",
    "libresolv.so.2", "libutil.so.1", "libmvec.so.1", "libgcc_s.so.1",
    // OpenGL through the vendor-neutral dispatch, and Mesa.
    "libGL.so.1", "libGLX.so.0", "libGLdispatch.so.0", "libGLX_mesa.so.0", "libglapi.so.0",
    // X11 clients.
    "libX11.so.6", "libX11-xcb.so.1", "libxcb.so.1", "libxcb-dri2.so.0", "libxcb-dri3.so.0",
    "libxcb-glx.so.0", "libxcb-present.so.0", "libxcb-randr.so.0", "libxcb-shm.so.0", "libxcb-sync.so.1",
    "libxcb-xfixes.so.0", "libxshmfence.so.1", "libXau.so.6", "libXdmcp.so.6", "libXext.so.6",
    "libXcursor.so.1", "libXfixes.so.3", "libXi.so.6", "libXinerama.so.1", "libXrandr.so.2",
    "libXrender.so.1", "libXft.so.2", "libXss.so.1", "libXxf86vm.so.1",
    // Fonts.
    "libfontconfig.so.1", "libfreetype.so.6", "libexpat.so.1", "libpng16.so.16", "libbrotlicommon.so.1",
    "libbrotlidec.so.1", "libbz2.so.1.0", "libz.so.1",
    // Sound, and the system libraries below all of these.
    "libasound.so.2", "libdrm.so.2", "libbsd.so.0", "libmd.so.0", "libffi.so.8", "libuuid.so.1",
    "libsystemd.so.0", "libudev.so.1", "libgcrypt.so.20", "libgpg-error.so.0", "liblz4.so.1", "liblzma.so.5",
    "libzstd.so.1", "libcap.so.2", "libselinux.so.1", "libpcre2-8.so.0",
};

} // namespace

bool isStockLibrary(const std::string& soname)
{
    for (const char* stock : kStock)
        if (soname == stock)
            return true;
    return false;
}
