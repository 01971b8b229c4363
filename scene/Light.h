#pragma once
// A scene light, bound to one fixed GL light (GL_LIGHT0 + glLight) for its
// whole life. The scene gives it its number in file order and sends it to GL
// once per frame (applyLights); the setters of the attenuations and the
// colours reach GL at once.
//
// A light with a projected texture does not light through GL: the projector
// shadows use its texture instead.

#include "math/Color4.h"
#include "scene/SceneObject.h"

class Texture;

class Light : public SceneObject {
public:
    Light(const char* name, int id);

    SceneObject* clone() const override;

    // Ambient, diffuse and specular all become `colour`, then the ambient
    // r, g, b are scaled by 0.3.
    void setColour(const Color4& colour);
    void setConstantAttenuation(float value);
    void setLinearAttenuation(float value);
    void setQuadraticAttenuation(float value);
    // 180 stays 180 (no spot); above 90 becomes 90; below 0 becomes 0.
    void setSpotCutoff(float degrees);
    // Clamped to 0..128.
    void setSpotExponent(float value);
    void setEnabled(bool on);
    void setGrey(bool on);
    // Switching flicker off brings the saved diffuse colour back at once.
    void setFlicker(bool on);
    // Stores the texture and switches GL lighting off for this light.
    void setProjectedTexture(Texture* texture);
    void setCastsShadow(bool on) { castsShadow = on; }
    void setTargetId(int value) { targetId = value; }
    void setTarget(SceneObject* object) { target = object; }
    void setGlLight(int number) { glLight = number; }

    // Sends ambient, diffuse and specular (as their grey levels when grey),
    // then enables or disables the GL light.
    void sendColours();
    // Once per frame, after the camera: enable state, flicker, colours,
    // position, attenuations and spot parameters.
    void apply();

    const Color4& getAmbient() const { return ambient; }
    const Color4& getDiffuse() const { return diffuse; }
    const Color4& getSpecular() const { return specular; }
    float getConstantAttenuation() const { return constantAttenuation; }
    float getLinearAttenuation() const { return linearAttenuation; }
    float getQuadraticAttenuation() const { return quadraticAttenuation; }
    float getSpotCutoff() const { return spotCutoff; }
    float getSpotExponent() const { return spotExponent; }
    bool isEnabled() const { return enabled; }
    bool getGrey() const { return grey; }
    bool getFlicker() const { return flicker; }
    bool getCastsShadow() const { return castsShadow; }
    int getGlLight() const { return glLight; }
    int getTargetId() const { return targetId; }
    SceneObject* getTarget() const { return target; }
    Texture* getProjectedTexture() const { return projectedTexture; }
    const Color4& getSavedDiffuse() const { return savedDiffuse; }

    // GL_MAX_LIGHTS as read when the last light was made (8 before any).
    static int maxGlLights();

private:
    unsigned glName() const;
    void sendDiffuse(const Color4& colour);

    Color4 ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Color4 diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    Color4 specular{1.0f, 1.0f, 1.0f, 1.0f};
    float constantAttenuation = 1.0f;
    float linearAttenuation = 0.0f;
    float quadraticAttenuation = 0.0f;
    float spotCutoff = 180.0f;     // degrees
    float spotExponent = 0.0f;
    bool enabled = true;
    int glLight = 0;               // the GL light is GL_LIGHT0 + glLight
    int targetId = 0;
    SceneObject* target = nullptr; // not owned
    bool flicker = false;
    Color4 savedDiffuse;           // (1, 1, 1, 1): what flicker scales and restores
    bool castsShadow = false;
    bool grey = false;
    Texture* projectedTexture = nullptr; // shared, not owned
};
