#include "gl/GLExtensions.h"

#include "platform/GLWindow.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace glext {
PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB;
PFNGLMULTITEXCOORD1FARBPROC glMultiTexCoord1fARB;
PFNGLMULTITEXCOORD1FVARBPROC glMultiTexCoord1fvARB;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB;
PFNGLMULTITEXCOORD2FVARBPROC glMultiTexCoord2fvARB;
PFNGLMULTITEXCOORD3FVARBPROC glMultiTexCoord3fvARB;
PFNGLMULTITEXCOORD3FARBPROC glMultiTexCoord3fARB;
PFNGLMULTITEXCOORD4FVARBPROC glMultiTexCoord4fvARB;
PFNGLMULTITEXCOORD4FARBPROC glMultiTexCoord4fARB;
PFNGLBINDBUFFERARBPROC glBindBufferARB;
PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB;
PFNGLGENBUFFERSARBPROC glGenBuffersARB;
PFNGLISBUFFERARBPROC glIsBufferARB;
PFNGLBUFFERDATAARBPROC glBufferDataARB;
PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB;
PFNGLMAPBUFFERARBPROC glMapBufferARB;
PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB;
PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB;
PFNGLGETBUFFERPOINTERVARBPROC glGetBufferPointervARB;
PFNGLGENQUERIESARBPROC glGenQueriesARB;
PFNGLDELETEQUERIESARBPROC glDeleteQueriesARB;
PFNGLISQUERYARBPROC glIsQueryARB;
PFNGLBEGINQUERYARBPROC glBeginQueryARB;
PFNGLENDQUERYARBPROC glEndQueryARB;
PFNGLGETQUERYIVARBPROC glGetQueryivARB;
PFNGLGETQUERYOBJECTIVARBPROC glGetQueryObjectivARB;
PFNGLGETQUERYOBJECTUIVARBPROC glGetQueryObjectuivARB;
PFNGLBLENDCOLORPROC glBlendColor;
PFNGLBLENDEQUATIONPROC glBlendEquation;
PFNGLGENFRAMEBUFFERSPROC glGenFramebuffers;
PFNGLDELETEFRAMEBUFFERSPROC glDeleteFramebuffers;
PFNGLBINDFRAMEBUFFERPROC glBindFramebuffer;
PFNGLFRAMEBUFFERTEXTURE2DPROC glFramebufferTexture2D;
PFNGLCHECKFRAMEBUFFERSTATUSPROC glCheckFramebufferStatus;
PFNGLGENRENDERBUFFERSPROC glGenRenderbuffers;
PFNGLDELETERENDERBUFFERSPROC glDeleteRenderbuffers;
PFNGLBINDRENDERBUFFERPROC glBindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC glRenderbufferStorage;
PFNGLFRAMEBUFFERRENDERBUFFERPROC glFramebufferRenderbuffer;
PFNGLGENERATEMIPMAPPROC glGenerateMipmap;
PFNGLBLITFRAMEBUFFERPROC glBlitFramebuffer;
PFNGLISFRAMEBUFFERPROC glIsFramebuffer;
PFNGLISRENDERBUFFERPROC glIsRenderbuffer;
} // namespace glext

namespace {

bool initialised = false;
char* glList = nullptr;
char* wglList = nullptr;
int textureUnits = 0;

char* copyAsLines(const char* text)
{
    size_t n = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(n + 1));
    if (!copy)
        return nullptr;
    for (size_t i = 0; i <= n; ++i)
        copy[i] = text[i] == ' ' ? '\n' : text[i];
    return copy;
}

template <typename T>
void resolveInto(T& pointer, const char* name)
{
    pointer = reinterpret_cast<T>(platform::getProcAddress(name));
}

#define resolve(fn, name) resolveInto(glext::fn, name)

void resolveGlEntryPoints()
{
    resolve(glActiveTextureARB, "glActiveTextureARB");
    resolve(glClientActiveTextureARB, "glClientActiveTextureARB");
    resolve(glMultiTexCoord1fARB, "glMultiTexCoord1fARB");
    resolve(glMultiTexCoord1fvARB, "glMultiTexCoord1fvARB");
    resolve(glMultiTexCoord2fARB, "glMultiTexCoord2fARB");
    resolve(glMultiTexCoord2fvARB, "glMultiTexCoord2fvARB");
    resolve(glMultiTexCoord3fvARB, "glMultiTexCoord3fvARB");
    resolve(glMultiTexCoord3fARB, "glMultiTexCoord3fARB");
    resolve(glMultiTexCoord4fvARB, "glMultiTexCoord4fvARB");
    resolve(glMultiTexCoord4fARB, "glMultiTexCoord4fARB");
    resolve(glBindBufferARB, "glBindBufferARB");
    resolve(glDeleteBuffersARB, "glDeleteBuffersARB");
    resolve(glGenBuffersARB, "glGenBuffersARB");
    resolve(glIsBufferARB, "glIsBufferARB");
    resolve(glBufferDataARB, "glBufferDataARB");
    resolve(glBufferSubDataARB, "glBufferSubDataARB");
    resolve(glMapBufferARB, "glMapBufferARB");
    resolve(glUnmapBufferARB, "glUnmapBufferARB");
    resolve(glGetBufferParameterivARB, "glGetBufferParameterivARB");
    resolve(glGetBufferPointervARB, "glGetBufferPointervARB");
    resolve(glGenQueriesARB, "glGenQueriesARB");
    resolve(glDeleteQueriesARB, "glDeleteQueriesARB");
    resolve(glIsQueryARB, "glIsQueryARB");
    resolve(glBeginQueryARB, "glBeginQueryARB");
    resolve(glEndQueryARB, "glEndQueryARB");
    resolve(glGetQueryivARB, "glGetQueryivARB");
    resolve(glGetQueryObjectivARB, "glGetQueryObjectivARB");
    resolve(glGetQueryObjectuivARB, "glGetQueryObjectuivARB");
    resolve(glBlendColor, "glBlendColor");
    resolve(glBlendEquation, "glBlendEquation");
}

// The off-screen buffers stand in for pbuffers; they are resolved with the
// WGL group they replace.
void resolveBufferEntryPoints()
{
    resolve(glGenFramebuffers, "glGenFramebuffers");
    resolve(glDeleteFramebuffers, "glDeleteFramebuffers");
    resolve(glBindFramebuffer, "glBindFramebuffer");
    resolve(glFramebufferTexture2D, "glFramebufferTexture2D");
    resolve(glCheckFramebufferStatus, "glCheckFramebufferStatus");
    resolve(glGenRenderbuffers, "glGenRenderbuffers");
    resolve(glDeleteRenderbuffers, "glDeleteRenderbuffers");
    resolve(glBindRenderbuffer, "glBindRenderbuffer");
    resolve(glRenderbufferStorage, "glRenderbufferStorage");
    resolve(glFramebufferRenderbuffer, "glFramebufferRenderbuffer");
    resolve(glGenerateMipmap, "glGenerateMipmap");
    resolve(glBlitFramebuffer, "glBlitFramebuffer");
    resolve(glIsFramebuffer, "glIsFramebuffer");
    resolve(glIsRenderbuffer, "glIsRenderbuffer");
}

} // namespace

bool initExtensions()
{
    if (initialised)
        return true;
    initialised = true;

    const char* gl = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!gl) {
        glGetError();
        return true;
    }
    glList = copyAsLines(gl);
    resolveGlEntryPoints();

    const char* wgl = platform::emulatedWglExtensions();
    if (wgl) {
        wglList = copyAsLines(wgl);
        resolveBufferEntryPoints();
    }

    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    textureUnits = units;
    // A card with fewer units can be stood in for, as VP_HIDE_EXTENSIONS
    // stands in for one without an extension: the count is only ever lowered.
    if (const char* limit = std::getenv("VP_MAX_TEXTURE_UNITS")) {
        int n = std::atoi(limit);
        if (n >= 0 && n < textureUnits)
            textureUnits = n;
    }
    return true;
}

bool listContainsWord(const char* list, const char* name)
{
    if (!list || !name)
        return false;
    size_t n = std::strlen(name);
    const char* word = list;
    while (*word) {
        const char* end = std::strchr(word, '\n');
        size_t len = end ? static_cast<size_t>(end - word) : std::strlen(word);
        if (len == n && std::memcmp(word, name, n) == 0)
            return true;
        if (!end)
            break;
        word = end + 1;
    }
    return false;
}

bool isExtensionSupported(const char* name)
{
    return listContainsWord(glList, name) || listContainsWord(wglList, name);
}

int getMaxTextureUnits()
{
    return textureUnits;
}

const char* glExtensionList()
{
    return glList;
}

const char* wglExtensionList()
{
    return wglList;
}

void logExtensions(const char* path)
{
    FILE* f = std::fopen(path, "w");
    if (!f)
        return;
    if (glList)
        std::fputs(glList, f);
    std::fputs("WGL: \n", f);
    if (wglList)
        std::fputs(wglList, f);
    std::fclose(f);
}

void freeExtensions()
{
    std::free(glList);
    std::free(wglList);
    glList = nullptr;
    wglList = nullptr;
    initialised = false;
}
