#include "scene/Light.h"

#include "math/Random.h"

#include <GL/gl.h>

namespace {
// The GL standard guarantees 8; the first light made reads the real number.
int maxLights = 8;
constexpr float kAmbientShare = 0.3f;
constexpr float kMaxSpotExponent = 128.0f;
constexpr float kRandomUnit = 0.00003051851f; // 1 / 32767

void sendColour(unsigned light, GLenum which, const Color4& c)
{
    GLfloat values[4] = {c.r, c.g, c.b, 1.0f};
    glLightfv(light, which, values);
}

void sendGreyColour(unsigned light, GLenum which, const Color4& c)
{
    float g = c.grey();
    GLfloat values[4] = {g, g, g, 1.0f};
    glLightfv(light, which, values);
}
} // namespace

Light::Light(const char* name, int id) : SceneObject(name, id)
{
    GLint count = maxLights;
    glGetIntegerv(GL_MAX_LIGHTS, &count);
    if (count > 0)
        maxLights = count;
}

int Light::maxGlLights()
{
    return maxLights;
}

unsigned Light::glName() const
{
    return GL_LIGHT0 + unsigned(glLight);
}

SceneObject* Light::clone() const
{
    Light* copy = new Light(name.c_str(), id);
    copyBaseTo(*copy);
    copy->ambient = ambient;
    copy->diffuse = diffuse;
    copy->specular = specular;
    copy->constantAttenuation = constantAttenuation;
    copy->linearAttenuation = linearAttenuation;
    copy->quadraticAttenuation = quadraticAttenuation;
    copy->spotCutoff = spotCutoff;
    copy->spotExponent = spotExponent;
    copy->enabled = enabled;
    copy->glLight = glLight;
    copy->targetId = targetId;
    copy->target = target;
    copy->flicker = flicker;
    copy->savedDiffuse = savedDiffuse;
    copy->castsShadow = castsShadow;
    copy->grey = grey;
    copy->projectedTexture = projectedTexture;
    return copy;
}

void Light::setColour(const Color4& colour)
{
    ambient = colour;
    diffuse = colour;
    specular = colour;
    ambient.scale(kAmbientShare);
}

void Light::setConstantAttenuation(float value)
{
    constantAttenuation = value;
    glLightf(glName(), GL_CONSTANT_ATTENUATION, value);
}

void Light::setLinearAttenuation(float value)
{
    linearAttenuation = value;
    glLightf(glName(), GL_LINEAR_ATTENUATION, value);
}

void Light::setQuadraticAttenuation(float value)
{
    quadraticAttenuation = value;
    glLightf(glName(), GL_QUADRATIC_ATTENUATION, value);
}

void Light::setSpotCutoff(float degrees)
{
    if (degrees == 180.0f)
        spotCutoff = 180.0f;
    else if (degrees > 90.0f)
        spotCutoff = 90.0f;
    else if (degrees < 0.0f)
        spotCutoff = 0.0f;
    else
        spotCutoff = degrees;
}

void Light::setSpotExponent(float value)
{
    if (value > kMaxSpotExponent)
        value = kMaxSpotExponent;
    if (value < 0.0f)
        value = 0.0f;
    spotExponent = value;
}

void Light::setEnabled(bool on)
{
    enabled = on;
    if (glLight >= 0) {
        if (on)
            glEnable(glName());
        else
            glDisable(glName());
    }
}

void Light::setGrey(bool on)
{
    grey = on;
    sendColours();
}

void Light::setFlicker(bool on)
{
    flicker = on;
    if (!on) {
        diffuse = savedDiffuse;
        sendDiffuse(diffuse);
    }
}

void Light::setProjectedTexture(Texture* texture)
{
    projectedTexture = texture;
    enabled = false;
}

void Light::sendDiffuse(const Color4& colour)
{
    GLfloat values[4] = {colour.r, colour.g, colour.b, colour.a};
    glLightfv(glName(), GL_DIFFUSE, values);
}

void Light::sendColours()
{
    unsigned light = glName();
    if (grey) {
        sendGreyColour(light, GL_AMBIENT, ambient);
        sendGreyColour(light, GL_DIFFUSE, diffuse);
        sendGreyColour(light, GL_SPECULAR, specular);
    } else {
        sendColour(light, GL_AMBIENT, ambient);
        sendColour(light, GL_DIFFUSE, diffuse);
        sendColour(light, GL_SPECULAR, specular);
    }
    if (glLight >= 0) {
        if (enabled)
            glEnable(light);
        else
            glDisable(light);
    }
}

void Light::apply()
{
    unsigned light = glName();
    if (!enabled) {
        glDisable(light);
        return;
    }
    if (flicker) {
        diffuse = savedDiffuse;
        diffuse.scale(float(nextRandom()) * kRandomUnit);
        sendDiffuse(diffuse);
    }
    glEnable(light);
    sendColours();

    GLfloat where[4] = {position.x, position.y, position.z, 1.0f};
    glLightfv(light, GL_POSITION, where);
    glLightf(light, GL_CONSTANT_ATTENUATION, constantAttenuation);
    glLightf(light, GL_LINEAR_ATTENUATION, linearAttenuation);
    glLightf(light, GL_QUADRATIC_ATTENUATION, quadraticAttenuation);

    GLfloat direction[3] = {0.0f, 0.0f, -1.0f};
    if (target) {
        Vec3 d = target->getPosition() - position;
        direction[0] = d.x;
        direction[1] = d.y;
        direction[2] = d.z;
    }
    glLightfv(light, GL_SPOT_DIRECTION, direction);
    glLightf(light, GL_SPOT_CUTOFF, spotCutoff);
    glLightf(light, GL_SPOT_EXPONENT, spotExponent);
}
