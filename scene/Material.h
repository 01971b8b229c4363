#pragma once
// The surface of the faces that use it: three colours, shininess, opacity,
// flags, up to six textures from the scene file and one of twelve render
// modes. The render mode fixes which textures go to which texture unit and
// how the units combine; it also sets the derived flags that tell a mesh
// which arrays to build (normals, reflection coordinates, ramp coordinates).
//
// A Scene owns its materials, chained through `next` (a list owned through
// its head, as with objects). Textures are shared through the TextureManager
// and never owned here; the normalisation cube map of the bump modes is the
// material's own GL texture.

#include "math/Color4.h"
#include "math/Vec3.h"

#include <GL/gl.h>

#include <string>

class Texture;

// Render modes; the numbers are those the scene effects' signals use.
enum MaterialRenderMode {
    kModeLit = 0,             // lit colours only
    kModePrimary = 1,         // primary map
    kModeSecond = 2,          // second map alone
    kModeSecondAlt = 3,       // as 2
    kModePrimaryAddSecond = 4,
    kModePrimaryDetail = 5,
    kModeBump = 6,            // primary and bump map, DOT3 through the normalisation cube map
    kModeBumpSecond = 7,      // second and bump map
    kModeRamp = 8,
    kModeRampPrimary = 9,
    kModeEnvironment = 10,    // cube-map environment only (a sky)
    kModeEnvironmentSecond = 11,
};

class Material {
public:
    Material(const char* name, int id);
    // Deletes the normalisation cube map and every material after this one.
    ~Material();

    Material(const Material&) = delete;
    Material& operator=(const Material&) = delete;

    const std::string& getName() const { return name; }
    int getId() const { return id; }

    // List links (the scene's material list).
    Material* getNext() const { return next; }
    void appendSibling(Material* material);

    void setAmbient(float r, float g, float b, float a = 1.0f) { ambient.set(r, g, b, a); }
    void setDiffuse(float r, float g, float b, float a = 1.0f) { diffuse.set(r, g, b, a); }
    void setSpecular(float r, float g, float b, float a = 1.0f) { specular.set(r, g, b, a); }
    // shininess = glossiness (0..1) x 128; the level is kept as given.
    void setShininess(float glossiness, float level);
    void setOpacity(float value);
    void setTwoSided(bool on) { twoSided = on; }
    void setAdditive(bool on);
    void setAlphaReference(float value) { alphaReference = value; }
    void setAlphaTest(bool on) { alphaTest = on; }
    void setAlphaBlend(bool on) { alphaBlend = on; }
    void setStencil(bool on) { stencil = on; }
    void setUnlit(bool on) { unlit = on; }
    void setWireframe(bool on) { wireframe = on; }
    void setGrey(bool on) { grey = on; }
    void setOverlay(bool on) { overlay = on; }

    void setPrimaryMap(Texture* t) { primaryMap = t; }
    void setSecondMap(Texture* t) { secondMap = t; }
    void setDetailMap(Texture* t) { detailMap = t; }
    void setBumpMap(Texture* t) { bumpMap = t; }
    void setRamp(Texture* t) { ramp = t; }
    // Stores the map and switches alpha testing on. When the primary map has
    // the same size, the map's grey level becomes the primary picture's alpha
    // and the primary texture is uploaded again: every user of that shared
    // texture sees the new alpha.
    void setOpacityMap(Texture* t);

    // Texture transform applied by setup (degrees, units, factors).
    void setTextureMatrix(bool on, const Vec3& rotationDegrees, const Vec3& translation, const Vec3& scale);

    // Stores the mode and sets the derived flags. The bump modes (6, 7) build
    // the normalisation cube map, the environment modes (10, 11) fetch the
    // shared "cubemap" texture; each happens once per material.
    void setRenderMode(int mode);
    int getRenderMode() const { return renderMode; }

    // Turns the material into GL state just before a mesh draws its arrays.
    // Every attribute group is pushed first; then the render mode's texture
    // units and combiners (nothing of them when a texture the mode needs is
    // missing), lighting, stencil, alpha test, blending, the flags, the
    // texture matrix and the overlay, in that order. Face culling is always
    // off afterwards. Texture unit 0 is active when it returns. The caller
    // draws and then calls end().
    void setup();
    // Undoes setup: the texture matrix, which no attribute group holds, goes
    // back to the identity, then the pushed attributes are popped.
    void end();
    // Whether the textures the render mode needs are all present.
    bool hasModeTextures() const;

    bool isTransparent() const { return transparent; }
    bool getUsesReflection() const { return usesReflection; }
    bool getUsesRamp() const { return usesRamp; }
    bool getMultiUnit() const { return multiUnit; }
    bool getUsesNormals() const { return usesNormals; }
    bool getUsesCube() const { return usesCube; }

    const Color4& getAmbient() const { return ambient; }
    const Color4& getDiffuse() const { return diffuse; }
    const Color4& getSpecular() const { return specular; }
    float getShininess() const { return shininess; }
    float getSpecularLevel() const { return specularLevel; }
    float getOpacity() const { return opacity; }
    float getAlphaReference() const { return alphaReference; }
    bool getTwoSided() const { return twoSided; }
    bool getAdditive() const { return additive; }
    bool getAlphaTest() const { return alphaTest; }
    bool getAlphaBlend() const { return alphaBlend; }
    bool getStencil() const { return stencil; }
    bool getUnlit() const { return unlit; }
    bool getWireframe() const { return wireframe; }
    bool getGrey() const { return grey; }
    bool getOverlay() const { return overlay; }

    Texture* getPrimaryMap() const { return primaryMap; }
    Texture* getSecondMap() const { return secondMap; }
    Texture* getDetailMap() const { return detailMap; }
    Texture* getBumpMap() const { return bumpMap; }
    Texture* getOpacityMap() const { return opacityMap; }
    Texture* getEnvironmentCube() const { return environmentCube; }
    Texture* getRamp() const { return ramp; }
    GLuint getNormalisationCubeMap() const { return normalisationCubeMap; }

    bool hasTextureMatrix() const { return textureMatrix; }
    const Vec3& getTextureRotation() const { return textureRotation; }
    const Vec3& getTextureTranslation() const { return textureTranslation; }
    const Vec3& getTextureScale() const { return textureScale; }

    GLenum getStencilFunction() const { return stencilFunction; }
    GLint getStencilReference() const { return stencilReference; }
    GLuint getStencilMask() const { return stencilMask; }
    GLenum getStencilFail() const { return stencilFail; }
    GLenum getStencilDepthFail() const { return stencilDepthFail; }
    GLenum getStencilPass() const { return stencilPass; }

private:
    void updateTransparent();
    // glMaterial colours: ambient (its alpha replaced by ambientAlpha when
    // that is not negative), diffuse with alpha = opacity, specular scaled
    // by the specular level, shininess. With greyLevels the ambient and
    // diffuse colours go as their grey levels.
    void sendLitColours(GLenum ambientFaces, GLenum diffuseFaces, float ambientAlpha, bool greyLevels) const;
    void applyRenderMode() const;

    std::string name;
    int id;
    Material* next = nullptr; // owned: the rest of the list

    bool overlay = false;
    Color4 ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Color4 diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    Color4 specular{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 50.0f;
    float specularLevel = 0.0f;

    Texture* secondMap = nullptr;
    Texture* primaryMap = nullptr;
    Texture* detailMap = nullptr;
    Texture* bumpMap = nullptr;
    Texture* opacityMap = nullptr;
    GLuint normalisationCubeMap = 0; // owned GL texture, modes 6 and 7
    Texture* environmentCube = nullptr;

    int renderMode = kModeLit;
    float opacity = 1.0f;            // 1 = opaque
    float alphaReference = 0.0f;

    bool alphaTest = false;
    bool stencil = false;
    bool twoSided = false;
    bool additive = false;
    bool alphaBlend = false;
    bool unlit = false;
    bool wireframe = false;
    bool grey = false;

    Texture* ramp = nullptr;         // 1D, modes 8 and 9

    GLenum stencilFunction = GL_NOTEQUAL;
    GLint stencilReference = 1;
    GLuint stencilMask = 1;
    GLenum stencilFail = GL_KEEP;
    GLenum stencilDepthFail = GL_KEEP;
    GLenum stencilPass = GL_KEEP;

    bool transparent = false;        // additive or opacity below 1
    bool usesReflection = false;
    bool usesRamp = false;
    bool multiUnit = false;
    bool usesNormals = false;
    bool usesCube = false;
    bool textureMatrix = false;
    Vec3 textureRotation;            // degrees
    Vec3 textureTranslation;
    Vec3 textureScale{1.0f, 1.0f, 1.0f};
};
