#include "effects/RadialBlurFilter.h"

#include "effects/PostProcess.h"
#include "gl/TextureManager.h"

#include <GL/gl.h>

RadialBlurFilter::RadialBlurFilter()
{
    blurTexture =
        TextureManager::getInstance()->getRenderTexture("radialblur", kBlurSize, kBlurSize, GL_TEXTURE_2D, GL_RGBA);
}

RadialBlurFilter::~RadialBlurFilter()
{
    TextureManager::getInstance()->release(blurTexture);
}

void RadialBlurFilter::init(int time)
{
    initBase(time);
    captureCopies = 3;
    renderCopies = 16;
    startAlpha = 0.45f;
    alphaStep = 0.01f;
    sStep = 0.01f;
    tStep = 0.01f;
    drawSource = true;
    rotate = false;
    rotationAngle = 0.0f;
    rotationStep = 1.0f;
    rotationPeriod = 1000;
    lastRenderTime = time;
    red.reset(0.5f);
    green.reset(0.5f);
    blue.reset(0.5f);
}

void RadialBlurFilter::preRender(int time)
{
    if (!source)
        return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    postprocess::beginCaptureSquare(kBlurSize);
    source->render(time, false);
    postprocess::copyCaptureSquare(blurTexture, kBlurSize);
    drawCopies(captureCopies);
    postprocess::copyCaptureSquare(blurTexture, kBlurSize);
    postprocess::endCaptureSquare(viewport);
}

void RadialBlurFilter::render(int time, bool applyRect)
{
    if (!source)
        return;
    update(time, applyRect);
    int dt = time - lastRenderTime;
    lastRenderTime = time;
    if (drawSource)
        source->render(time, applyRect);
    if (rotationPeriod != 0)
        rotationAngle += static_cast<float>(dt) / static_cast<float>(rotationPeriod);
    drawCopies(renderCopies);
}

void RadialBlurFilter::drawCopies(int count)
{
    postprocess::loadFullScreenProjection();
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glBindTexture(GL_TEXTURE_2D, blurTexture ? blurTexture->textureId : 0);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    const float r = red.value(), g = green.value(), b = blue.value();
    float s = 0.0f, t = 0.0f, a = startAlpha;
    for (int i = 0; i < count; ++i) {
        if (rotate) {
            // Accumulates: copy i turns by the sum of the angles of copies 0 to i.
            glTranslatef(0.5f, 0.5f, 0.0f);
            glRotatef(rotationAngle + static_cast<float>(i) * rotationStep, 0.0f, 0.0f, 1.0f);
            glTranslatef(-0.5f, -0.5f, 0.0f);
        }
        glColor4f(r, g, b, a);
        glBegin(GL_QUADS);
        glTexCoord2f(s, t);
        glVertex2f(0.0f, 1.0f);
        glTexCoord2f(1.0f - s, t);
        glVertex2f(1.0f, 1.0f);
        glTexCoord2f(1.0f - s, 1.0f - t);
        glVertex2f(1.0f, 0.0f);
        glTexCoord2f(s, 1.0f - t);
        glVertex2f(0.0f, 0.0f);
        glEnd();
        s += sStep;
        t += tStep;
        a += alphaStep;
        if (a <= 0.0f)
            break;
    }

    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
}

const SignalTable& RadialBlurFilter::signals()
{
    static const SignalInfo codes[] = {
        {90, "captures copies", "capture and draw copy counts"},
        {91, "alpha step", "start alpha (1/100) and alpha step (1/1000)"},
        {92, "s t", "texture steps in 1/1000"},
        {93, "on", "draw the source too"},
        {94, "on step period", "rotate the copies"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void RadialBlurFilter::signal(const SignalArgs& args)
{
    Effect::signal(args);
    const int* a = args.args;
    switch (args.code) {
    case 90:
        // Counts are small and non-negative; a negative one draws nothing
        // rather than billions of quads.
        captureCopies = a[0] < 0 ? 0 : a[0];
        renderCopies = a[1] < 0 ? 0 : a[1];
        break;
    case 91:
        startAlpha = static_cast<float>(a[0]) * 0.01f;
        alphaStep = static_cast<float>(a[1]) * 0.001f;
        break;
    case 92:
        sStep = static_cast<float>(a[0]) * 0.001f;
        tStep = static_cast<float>(a[1]) * 0.001f;
        break;
    case 93:
        drawSource = a[0] != 0;
        break;
    case 94:
        rotate = a[0] != 0;
        rotationStep = static_cast<float>(a[1]) * 0.01f;
        rotationPeriod = a[2];
        break;
    default:
        break;
    }
}
