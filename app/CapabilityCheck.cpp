#include "app/CapabilityCheck.h"

#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"

namespace {

void requireExtension(const char* name, const char* message)
{
    if (!isExtensionSupported(name))
        errorBox(message, true);
}

} // namespace

void warnAboutTextureUnits(int units)
{
    if (units < 3)
        errorBoxInt("Warning: Your gfxcard does not support enough (3) texture units to run this "
                    "application properly. Some features will be disabled",
                    -1, false);
}

void checkCapabilities()
{
    initExtensions();
    requireExtension("GL_ARB_multitexture", "GL_ARB_multitexture not supported by your gfx card!");
    requireExtension("WGL_ARB_pbuffer", "WGL_ARB_pbuffer not supported by your gfx card!");
    requireExtension("WGL_ARB_render_texture", "WGL_ARB_render_texture not supported by your gfx card!");
    requireExtension("WGL_ARB_pixel_format", "WGL_ARB_pixel_format not supported by your gfx card!");
    warnAboutTextureUnits(getMaxTextureUnits());
}
