#include "effects/GlowFilter.h"

#include "effects/PostProcess.h"
#include "gl/TextureManager.h"

#include <GL/gl.h>
#include <GL/glext.h>

static Texture* makeGlowTexture(const char* name, int size)
{
    Texture* texture = TextureManager::getInstance()->getRenderTexture(name, size, size, GL_TEXTURE_2D, GL_RGBA);
    if (texture) {
        glBindTexture(GL_TEXTURE_2D, texture->textureId);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    }
    return texture;
}

GlowFilter::GlowFilter()
{
    glowTexture = makeGlowTexture("GlowFilter1", kGlowSize);
    captureTexture = makeGlowTexture("GlowFilter2", kCaptureSize);
}

GlowFilter::~GlowFilter()
{
    TextureManager::getInstance()->release(glowTexture);
    TextureManager::getInstance()->release(captureTexture);
}

void GlowFilter::init(int time)
{
    initBase(time);
    copyCount = 5;
    zoomStep = -0.01f;
    intensityStep = 0.0f;
    glowOnly = false;
    offsetX.reset(0.0f);
    offsetY.reset(0.0f);
}

void GlowFilter::preRender(int time)
{
    if (!source)
        return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    postprocess::beginCaptureSquare(kCaptureSize);

    if (glowOnly) {
        source->signal(postprocess::outgoingSignal(90, {0}));
        source->signal(postprocess::outgoingSignal(302, {0}));
        source->signal(postprocess::outgoingSignal(301, {0}));
        source->signal(postprocess::outgoingSignal(90, {1}));
    }

    GLfloat clearColour[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColour);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    source->render(time, false);
    postprocess::copyCaptureSquare(captureTexture, kCaptureSize);

    postprocess::endCaptureSquare(viewport);
    glClearColor(clearColour[0], clearColour[1], clearColour[2], clearColour[3]);
    glClear(GL_COLOR_BUFFER_BIT);

    if (glowOnly)
        source->signal(postprocess::outgoingSignal(301, {1}));
    smear();
}

void GlowFilter::smear()
{
    const float s = static_cast<float>(kGlowSize);
    const float e = 1.0f / s;
    const float ramp = 0.55f;

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    postprocess::beginCaptureSquare(kGlowSize);

    // Pixel units, y downward.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, s, s, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glBindTexture(GL_TEXTURE_2D, captureTexture ? captureTexture->textureId : 0);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);

    // The base copy, then the four shifted copies added on top. Corners in
    // the order bottom-left, bottom-right, top-right, top-left; each copy
    // gives its texture window (s0..s1, t0..t1) and the grey level at each
    // corner.
    struct Copy {
        float s0, s1, t0, t1;
        float grey[4];
    };
    const Copy copies[5] = {
        {0.0f, 1.0f, 0.0f, 1.0f, {1.0f, 1.0f, 1.0f, 1.0f}},
        {e, 1.0f + e, 0.0f, 1.0f, {ramp, 0.0f, 0.0f, ramp}},     // bright on the left
        {-e, 1.0f - e, 0.0f, 1.0f, {0.0f, ramp, ramp, 0.0f}},    // bright on the right
        {0.0f, 1.0f, -e, 1.0f - e, {0.0f, 0.0f, ramp, ramp}},    // bright at the top
        {0.0f, 1.0f, e, 1.0f + e, {0.0f, 0.0f, ramp, ramp}},     // bright at the top
    };
    for (int i = 0; i < 5; ++i) {
        if (i == 0) {
            glDisable(GL_BLEND);
        } else if (i == 1) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_ONE, GL_ONE);
        }
        const Copy& c = copies[i];
        glBegin(GL_QUADS);
        glColor3f(c.grey[0], c.grey[0], c.grey[0]);
        glTexCoord2f(c.s0, c.t0);
        glVertex2f(0.0f, s);
        glColor3f(c.grey[1], c.grey[1], c.grey[1]);
        glTexCoord2f(c.s1, c.t0);
        glVertex2f(s, s);
        glColor3f(c.grey[2], c.grey[2], c.grey[2]);
        glTexCoord2f(c.s1, c.t1);
        glVertex2f(s, 0.0f);
        glColor3f(c.grey[3], c.grey[3], c.grey[3]);
        glTexCoord2f(c.s0, c.t1);
        glVertex2f(0.0f, 0.0f);
        glEnd();
    }

    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, glowTexture ? glowTexture->textureId : 0);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kGlowSize, kGlowSize);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    postprocess::endCaptureSquare(viewport);
}

void GlowFilter::render(int time, bool applyRect)
{
    if (!source)
        return;
    update(time, applyRect);
    offsetX.update(time);
    offsetY.update(time);
    float intensity = alpha.value();
    float inset = 0.0f;
    for (int i = 0; i < copyCount; ++i) {
        drawCopy(inset, intensity);
        inset += zoomStep;
        intensity += intensityStep;
    }
}

void GlowFilter::drawCopy(float o, float c)
{
    const float px = offsetX.value();
    const float py = offsetY.value();
    postprocess::loadFullScreenProjection();
    postprocess::beginFullScreenState();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glBindTexture(GL_TEXTURE_2D, glowTexture ? glowTexture->textureId : 0);
    glColor3f(c, c, c);
    glBegin(GL_QUADS);
    glTexCoord2f(-o, -o);
    glVertex2f(px, py + 1.0f);
    glTexCoord2f(1.0f + o, -o);
    glVertex2f(px + 1.0f, py + 1.0f);
    glTexCoord2f(1.0f + o, 1.0f + o);
    glVertex2f(px + 1.0f, py);
    glTexCoord2f(-o, 1.0f + o);
    glVertex2f(px, py);
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColor3f(1.0f, 1.0f, 1.0f);
}

const SignalTable& GlowFilter::signals()
{
    static const SignalInfo codes[] = {
        {91, "copies zoom intensity", "copy count, zoom step (1/1000), intensity step (1/100)"},
        {92, "on", "draw the glow only"},
        {93, "x0 y0 x1 y1 start duration", "move the glow offset (hundredths)"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void GlowFilter::signal(const SignalArgs& args)
{
    Effect::signal(args);
    const int* a = args.args;
    switch (args.code) {
    case 91:
        copyCount = a[0];
        zoomStep = static_cast<float>(a[1]) * 0.001f;
        intensityStep = static_cast<float>(a[2]) * 0.01f;
        break;
    case 92:
        glowOnly = a[0] != 0;
        break;
    case 93: {
        int startMs = a[4] + args.timeOffset;
        offsetX.reset(static_cast<float>(a[0]) * 0.01f);
        offsetY.reset(static_cast<float>(a[1]) * 0.01f);
        offsetX.moveTo(static_cast<float>(a[2]) * 0.01f);
        offsetY.moveTo(static_cast<float>(a[3]) * 0.01f);
        offsetX.setStartTime(startMs);
        offsetY.setStartTime(startMs);
        offsetX.setDuration(static_cast<float>(a[5]));
        offsetY.setDuration(static_cast<float>(a[5]));
        break;
    }
    default:
        break;
    }
}
