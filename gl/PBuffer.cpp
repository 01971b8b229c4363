#include "gl/PBuffer.h"

#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "gl/WindowTarget.h"
#include "platform/GLWindow.h"

namespace {

// What a refused creation is called in the box, after the system error codes
// a real pbuffer reported for the same causes.
const char* const kInvalidData = "ERROR_INVALID_DATA";         // size out of range
const char* const kNoResources = "ERROR_NO_SYSTEM_RESOURCES";  // out of video memory
const char* const kInvalidFormat = "ERROR_INVALID_PIXEL_FORMAT"; // attachments refused

// Fatal: does not return.
void creationFailed(const char* why)
{
    errorBoxStr("PBuffer: Could not create. ", why, true);
}

// Fatal when the storage just defined was refused, named as a real pbuffer
// names it.
void failOnStorageError()
{
    const GLenum error = glGetError();
    if (error == GL_OUT_OF_MEMORY)
        creationFailed(kNoResources);
    if (error != GL_NO_ERROR)
        creationFailed(kInvalidFormat);
}

bool framebufferEntryPoints()
{
    return glext::glGenFramebuffers && glext::glDeleteFramebuffers && glext::glBindFramebuffer &&
           glext::glFramebufferTexture2D && glext::glCheckFramebufferStatus && glext::glGenRenderbuffers &&
           glext::glDeleteRenderbuffers && glext::glBindRenderbuffer && glext::glRenderbufferStorage &&
           glext::glFramebufferRenderbuffer;
}

bool separateReadContexts()
{
    return isExtensionSupported("WGL_ARB_make_current_read");
}

bool sizeAccepted(int width, int height)
{
    GLint maxTexture = 0, maxRenderbuffer = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    GLint maxSide = maxTexture < maxRenderbuffer ? maxTexture : maxRenderbuffer;
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide;
}

} // namespace

PBuffer::~PBuffer()
{
    destroy();
}

bool PBuffer::create(int requestedWidth, int requestedHeight, bool depth)
{
    if (created)
        return true;
    width = requestedWidth;
    height = requestedHeight;
    bindDepth = depth;

    if (!framebufferEntryPoints())
        errorBox("PBuffer: Error in wglChoosePixelFormatARB", true);
    if (bindDepth && !isExtensionSupported("WGL_NV_render_depth_texture"))
        errorBox("PBuffer: No pixel formats found", true);

    if (!sizeAccepted(width, height))
        creationFailed(kInvalidData);

    context = platform::createSharedContext();
    if (!context)
        errorBox("PBuffer: Could not create resource context", true);
    void* previous = platform::currentContext();
    if (!platform::makeCurrent(context))
        errorBox("PBuffer: Could not get device context", true);

    // Everything below belongs to the buffer's context. The colour texture is
    // attached by the first enable, when the buffer has one.
    glext::glGenFramebuffers(1, &framebuffer);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (bindDepth) {
        glGenTextures(1, &depthTextureId);
        glBindTexture(GL_TEXTURE_2D, depthTextureId);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glBindTexture(GL_TEXTURE_2D, 0);
    } else {
        glext::glGenRenderbuffers(1, &depthStencil);
    }
    defineDepthStorage();
    failOnStorageError();

    platform::makeCurrent(previous ? previous : platform::windowContext());
    created = true;
    return true;
}

void PBuffer::defineDepthStorage()
{
    if (depthTextureId) {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glBindTexture(GL_TEXTURE_2D, depthTextureId);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                     GL_UNSIGNED_INT, nullptr);
        glBindTexture(GL_TEXTURE_2D, GLuint(bound));
        glext::glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depthTextureId, 0);
    } else {
        glext::glBindRenderbuffer(GL_RENDERBUFFER, depthStencil);
        glext::glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glext::glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glext::glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                         depthStencil);
    }
}

bool PBuffer::resize(int newWidth, int newHeight)
{
    if (!created)
        return false;
    if (newWidth == width && newHeight == height)
        return true;
    if (!sizeAccepted(newWidth, newHeight))
        creationFailed(kInvalidData);
    width = newWidth;
    height = newHeight;

    void* previous = platform::currentContext();
    if (!platform::makeCurrent(context))
        errorBox("PBuffer: Could not get device context", true);
    glext::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    defineDepthStorage();
    // A colour texture not yet attached gets its storage at the next enable.
    if (attachedTexture != 0)
        attachColourTexture();
    failOnStorageError();
    platform::makeCurrent(previous ? previous : platform::windowContext());
    if (previous == platform::windowContext())
        selectWindowColourBuffers();
    return true;
}

bool PBuffer::setupTexture(GLint wrapMode, GLint minFilter, GLint magFilter)
{
    if (hasTexture)
        return false;
    // The depth texture stands in for the same texture object when the depth
    // is bound, so it gets the same sampling parameters.
    if (depthTextureId) {
        glBindTexture(GL_TEXTURE_2D, depthTextureId);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapMode);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapMode);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    }
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapMode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapMode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
    hasTexture = true;
    return true;
}

void PBuffer::enable()
{
    if (!created)
        return;
    if (textureId == 0)
        setupTexture(GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR);

    savedContext = platform::currentContext();
    if (!platform::makeCurrent(context))
        errorBox(separateReadContexts() ? "PBuffer::wglMakeContextCurrentARB() failed" : "PBuffer::enable() failed",
                 true);
    // Bound again every time: whatever ran in this context may have bound
    // another framebuffer.
    glext::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (attachedTexture != textureId)
        attachColourTexture();
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glEnable(GL_DEPTH_TEST);
    glViewport(0, 0, width, height);
    checkGLError("PBuffer::enable");
}

void PBuffer::attachColourTexture()
{
    // Storage is defined here, in the buffer's context, with the texture's
    // own binding restored afterwards.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    glext::glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureId, 0);
    if (glext::glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        errorBox("PBuffer::enable() failed", true);
    attachedTexture = textureId;
}

void PBuffer::disable()
{
    checkGLError("PBuffer::disable");
    if (!platform::makeCurrent(savedContext))
        errorBox(separateReadContexts() ? "PBuffer::disable wglMakeContextCurrentARB failed"
                                        : "PBuffer::disable failed",
                 false);
    if (savedContext && savedContext == platform::windowContext())
        selectWindowColourBuffers();
    // The viewport is the caller's to restore.
    checkGLError("PBuffer::disable end");
}

void PBuffer::bind(int buffer)
{
    if (!created)
        return;
    checkGLError("PBuffer::bind1");
    bool depth = buffer == kDepthBuffer && depthTextureId != 0;
    glBindTexture(GL_TEXTURE_2D, depth ? depthTextureId : textureId);
    checkGLError("PBuffer::bind");
    bool bindable = depth || (buffer == kColourBuffer && textureId != 0);
    if (!bindable)
        errorBox("PBuffer::bind failed", false);
}

void PBuffer::release(int buffer)
{
    // The texture stays bound, as it did with a real pbuffer; the buffer may
    // now be rendered into again. A buffer that was never created refuses.
    bool releasable = created && (buffer == kColourBuffer || (buffer == kDepthBuffer && depthTextureId != 0));
    if (!releasable)
        errorBox("PBuffer::release failed", false);
}

void PBuffer::destroy()
{
    if (!created)
        return;
    // The framebuffer object exists only in the buffer's context.
    if (platform::makeCurrent(context)) {
        glext::glDeleteFramebuffers(1, &framebuffer);
        if (depthStencil)
            glext::glDeleteRenderbuffers(1, &depthStencil);
    }
    bool windowCurrent = platform::makeCurrent(platform::windowContext());
    platform::deleteContext(context);
    context = nullptr;
    savedContext = nullptr;
    framebuffer = 0;
    depthStencil = 0;
    attachedTexture = 0;

    if (windowCurrent && depthTextureId)
        glDeleteTextures(1, &depthTextureId);
    depthTextureId = 0;
    if (hasTexture) {
        if (windowCurrent)
            glDeleteTextures(1, &textureId);
        textureId = 0;
        hasTexture = false;
    }
    created = false;
}
