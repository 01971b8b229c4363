#pragma once
// One GL texture object, with the decoded picture of a file texture.
//
// File textures are decoded (Image), widened to RGBA, scaled up to the
// engine's power-of-two sizes and uploaded with a full mipmap chain; the CPU
// copy stays with the texture for its life. Blank textures are targets for
// copies of the frame (2D), shadow maps (depth) and the materials' cube map.
// Textures are normally shared by name through the TextureManager, which owns
// and deletes them; deleting a Texture deletes its GL object, so it must
// happen while a context sharing the window's objects is current.

#include <GL/gl.h>
#include <GL/glext.h>

struct Image;

class Texture {
public:
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Decodes `directory` + `name` (see loadImage). A 2D target is uploaded at
    // once; for other targets the picture is only kept. None when the file
    // cannot be decoded.
    static Texture* createTextureFromFile(const char* name, const char* directory, GLenum target);
    // The same for a picture already decoded; takes ownership of `image`
    // (deleting it when it is refused).
    static Texture* createTextureFromImage(Image* image, GLenum target);

    // A blank texture: GL_TEXTURE_2D (sides rounded up to powers of two, at
    // least 8, at most 1024, else the fatal "Texture: dimensions too large"),
    // GL_TEXTURE_CUBE_MAP_ARB or GL_DEPTH_COMPONENT (both `width` on a side).
    // Any other target yields none. GL errors from the creation are read and
    // dropped, except those of a depth texture, which are fatal.
    static Texture* createRenderTexture(int width, int height, GLenum target, GLenum internalFormat);

    // Binds to GL_TEXTURE_2D for depth textures, to `target` otherwise.
    void bind();
    Image* getImage() { return image; }

    // The maximum anisotropy applied to file textures created from now on;
    // 0 or less applies none. The engine lowers the launcher's choice to what
    // the driver offers before it calls this.
    // On: file textures are decoded and kept, never uploaded, so that a
    // production's pictures can be checked without a GL context.
    static void setDecodeOnly(bool on);

    static void setAnisotropy(float level);
    static float getAnisotropy();

    // Uploads the picture of a 2D file texture; returns the mipmap builder's
    // result (0 on success), 0 when there is no picture.
    int uploadImage();

    Image* image = nullptr;        // decoded pixels of a file texture, owned; none for blank ones
    GLuint textureId = 0;          // from glGenTextures, 0 until uploaded or created
    GLenum target;                 // GL_TEXTURE_2D, GL_TEXTURE_CUBE_MAP_ARB or GL_DEPTH_COMPONENT (tag only)
    GLenum internalFormat;         // for blank 2D textures; GL_RGBA for file textures
    int width = 0, height = 0;     // size of the GL texture in texels
    int imageWidth = 0, imageHeight = 0; // size of the decoded picture before scaling

private:
    Texture(GLenum target, GLenum internalFormat);

    void createBlank2D(int width, int height);
    void createDepthTexture(int size);
    void createCubeMap(int size);
};

// The texture size a picture is scaled to: each side the smallest power of two
// that holds it, at least 64; then the height is raised to the width when it is
// smaller (a 256x64 picture becomes 256x256, a 64x256 one stays 64x256).
void textureSizeForImage(int imageWidth, int imageHeight, int& width, int& height);
