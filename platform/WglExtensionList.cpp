#include "platform/WglExtensionList.h"

#include <sstream>

static bool containsWord(const char* list, const std::string& word)
{
    if (!list)
        return false;
    std::istringstream in(list);
    std::string w;
    while (in >> w)
        if (w == word)
            return true;
    return false;
}

std::string buildWglExtensionList(const WglCapabilities& caps, const char* hidden)
{
    struct Entry {
        const char* name;
        bool present;
    };
    const Entry entries[] = {
        {"WGL_ARB_extensions_string", true},
        {"WGL_EXT_extensions_string", true},
        {"WGL_ARB_pbuffer", caps.framebufferObjects},
        {"WGL_ARB_render_texture", caps.framebufferObjects},
        {"WGL_ARB_pixel_format", caps.framebufferObjects},
        {"WGL_ARB_multisample", caps.multisampleVisuals},
        {"WGL_NV_render_depth_texture", caps.framebufferObjects && caps.depthAttachments},
        {"WGL_ARB_make_current_read", true},
    };
    std::string list;
    for (const Entry& e : entries) {
        if (!e.present || containsWord(hidden, e.name))
            continue;
        if (!list.empty())
            list += ' ';
        list += e.name;
    }
    return list;
}
