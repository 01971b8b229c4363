#pragma once
// An off-screen render target whose colour (or depth) buffer is bound as a 2D
// texture. Post filters render into it and draw it back as a textured quad;
// the shadow maps render the light's view into it and bind its depth.
//
// How it works: the buffer has its own GL context, sharing textures and
// display lists with the window's, and in that context a framebuffer object
// whose colour attachment is `textureId` (and whose depth attachment is a
// depth texture when depth binding was asked for, else a depth-stencil
// renderbuffer). `enable` makes the buffer's context current, so that state
// set while the buffer is enabled (clear colour, matrices, viewport) stays
// with the buffer; `disable` returns to the context current before. The
// framebuffer object lives in the buffer's context only, so it is made and
// deleted there.
//
// Typical frame: enable, draw, disable, bind(kColourBuffer), draw with it,
// release(kColourBuffer).
//
// Created directly by their owners or shared by name through PBufferManager.
// Failures of create and enable are fatal; those of disable, bind and release
// show a box and rendering goes on.

#include <GL/gl.h>

// Buffer names for bind and release.
constexpr int kColourBuffer = 0x2083; // front left colour buffer
constexpr int kDepthBuffer = 0x20A7;  // depth component

class PBuffer {
public:
    PBuffer() = default;
    ~PBuffer();
    PBuffer(const PBuffer&) = delete;
    PBuffer& operator=(const PBuffer&) = delete;

    // Makes the buffer at width x height; `bindDepth` makes its depth
    // bindable as a texture. No effect (true) when already created.
    bool create(int width, int height, bool bindDepth);
    // Gives the buffer its texture with these parameters. False, changing
    // nothing, when it already has one (from an earlier call or from enable).
    bool setupTexture(GLint wrapMode, GLint minFilter, GLint magFilter);
    void enable();
    void disable();
    // Binds the colour texture or the depth texture to GL_TEXTURE_2D of the
    // current context.
    void bind(int buffer);
    void release(int buffer);
    // Gives the buffer new storage of width x height, keeping its context
    // (and every state set in it), its framebuffer object and its texture
    // names: what renders into it and what binds it go on as before. What it
    // held is gone. Fatal, as create, for a size the GL refuses; false, with
    // nothing changed, for a buffer that was never created.
    bool resize(int width, int height);
    // Releases the context, the framebuffer object and the textures, leaving
    // the window's context current. The buffer may be created again.
    void destroy();
    bool isCreated() const { return created; }

    GLuint textureId = 0;      // colour texture, 0 until setupTexture or the first enable
    GLuint depthTextureId = 0; // depth texture, only with depth binding
    int width = 0;             // size in pixels
    int height = 0;
    bool created = false;      // context and framebuffer object exist
    bool hasTexture = false;   // textureId was generated here

private:
    // Gives `textureId` its storage and attaches it; needs the buffer's context.
    void attachColourTexture();
    // Depth (texture or depth-stencil renderbuffer) storage of the buffer's
    // size, attached to the bound framebuffer; needs the buffer's context.
    void defineDepthStorage();

    void* context = nullptr;      // the buffer's own GL context
    void* savedContext = nullptr; // context current at the last enable
    GLuint framebuffer = 0;       // in `context`
    GLuint depthStencil = 0;      // renderbuffer when the depth is not bindable
    GLuint attachedTexture = 0;   // texture the framebuffer draws into
    bool bindDepth = false;
};
