#include "effects/ImageLayer.h"

#include "gl/ImageLookup.h"
#include "gl/Texture.h"
#include "gl/TextureManager.h"

#include <GL/gl.h>

#include <cstdio>
#include <set>
#include <string>

ImageLayer::ImageLayer()
{
    blending = false;
    // Rotation rates are in degrees per second of demo time.
    speed = 1000.0f;
}

ImageLayer::~ImageLayer()
{
    if (textures.empty())
        return;
    TextureManager* manager = TextureManager::getInstance();
    if (!manager)
        return;
    for (Texture* t : textures)
        manager->release(t);
}

void ImageLayer::init(int time)
{
    initBase(time);
    scrollX = 0.0f;
    scrollY = 0.0f;
    scrollDivisor = 1000;
    fullTexture = true;
    angleX = angleY = angleZ = 0.0f;
    rateX = rateY = rateZ = 0.0f;
}

// A picture that does not load leaves the layer empty, as it always has; one
// line says so (once per name: restarts and rebuilds send the signal again).
static void warnMissingPicture(const char* name)
{
    static std::set<std::string> warned;
    if (!warned.insert(name).second)
        return;
    std::fprintf(stderr, "warning: could not load picture %s: %s\n", name, explainPictureFailure(name).c_str());
    std::fflush(stderr);
}

Texture* ImageLayer::load(const char* name)
{
    TextureManager* manager = TextureManager::getInstance();
    if (!manager || !name[0])
        return nullptr;
    Texture* t = manager->getTexture(name, "", GL_TEXTURE_2D);
    if (t)
        textures.push_back(t);
    else
        warnMissingPicture(name);
    return t;
}

const SignalTable& ImageLayer::signals()
{
    static const SignalInfo codes[] = {
        {30, "", "show the next loaded picture"},
        {31, "PICTURE", "load a picture into the list"},
        {90, "on", "stretch the whole texture over the rectangle"},
        {110, "PICTURE", "load a picture and show it"},
        {210, "x y", "scroll position"},
        {211, "divisor", "scroll divisor"},
        {212, "x y z", "scroll rates"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void ImageLayer::signal(const SignalArgs& args)
{
    const int* a = args.args;
    switch (args.code) {
    case 30:
        // An empty list has nothing to step to: the picture stays as it is.
        if (!textures.empty()) {
            cursor = cursor + 1 >= static_cast<int>(textures.size()) ? 0 : cursor + 1;
            texture = textures[cursor];
        }
        break;
    case 31:
        load(args.text);
        break;
    case 90:
        fullTexture = a[0] != 0;
        break;
    case 110:
        if (Texture* t = load(args.text))
            texture = t;
        break;
    case 210:
        scrollX = static_cast<float>(a[0]);
        scrollY = static_cast<float>(a[1]);
        break;
    case 211:
        scrollDivisor = a[0];
        break;
    case 212:
        rateX = static_cast<float>(a[0]);
        rateY = static_cast<float>(a[1]);
        rateZ = static_cast<float>(a[2]);
        break;
    default:
        break;
    }
    Effect::signal(args);
}

void ImageLayer::render(int time, bool applyRect)
{
    if (!texture)
        return;
    update(time, false);
    if (applyRect)
        glViewport(0, 0, screenWidth, screenHeight);

    const float t = static_cast<float>(time);
    angleX = t * rateX / speed;
    angleY = t * rateY / speed;
    angleZ = t * rateZ / speed;

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // A divisor of 0 would scroll by infinity; the picture then stays put.
    const bool scrolling = (scrollX != 0.0f || scrollY != 0.0f) && scrollDivisor != 0;
    if (scrolling) {
        const float divisor = static_cast<float>(scrollDivisor);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(t * scrollX / divisor, t * scrollY / divisor, 0.0f);
        glMatrixMode(GL_MODELVIEW);
    }

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    applyBlend();
    glEnable(GL_TEXTURE_2D);
    texture->bind();

    const float rx = x.value(), ry = y.value(), rw = width.value(), rh = height.value();
    if (angleX != 0.0f || angleY != 0.0f || angleZ != 0.0f) {
        glTranslatef(rx + rw / 2.0f, ry + rh / 2.0f, 0.0f);
        glRotatef(angleX, 1.0f, 0.0f, 0.0f);
        glRotatef(angleY, 0.0f, 1.0f, 0.0f);
        glRotatef(angleZ, 0.0f, 0.0f, 1.0f);
        glTranslatef(-(rx + rw / 2.0f), -(ry + rh / 2.0f), 0.0f);
    }

    // Reveal mode: while the rectangle grows toward its target size, show the
    // matching part of the picture at its final scale.
    float sMax = 1.0f, tMax = 1.0f;
    if (!fullTexture) {
        if (width.target > 0.0f)
            sMax = rw / width.target;
        if (height.target > 0.0f)
            tMax = rh / height.target;
    }

    glColor4f(red.value(), green.value(), blue.value(), alpha.value());
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(rx, ry);
    glTexCoord2f(sMax, 0.0f);
    glVertex2f(rx + rw, ry);
    glTexCoord2f(sMax, tMax);
    glVertex2f(rx + rw, ry + rh);
    glTexCoord2f(0.0f, tMax);
    glVertex2f(rx, ry + rh);
    glEnd();

    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    if (scrolling) {
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
    }
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    resetBlend();
}
