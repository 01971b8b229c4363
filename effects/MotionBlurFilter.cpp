#include "effects/MotionBlurFilter.h"

#include "effects/PostProcess.h"
#include "effects/ScreenQuad.h"
#include "gl/TextureManager.h"

#include <GL/gl.h>

#include <cstdio>
#include <new>

MotionBlurFilter::MotionBlurFilter()
{
    for (int i = 0; i < kTextureCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "motionblur%i", i);
        textures[i] = TextureManager::getInstance()->getRenderTexture(name, kFrameSize, kFrameSize, GL_TEXTURE_2D,
                                                                      GL_RGBA);
        freeList[freeCount++] = textures[i];
    }
    quad = new (std::nothrow) UnitScreenQuad;
}

MotionBlurFilter::~MotionBlurFilter()
{
    delete quad;
    for (Texture* t : textures)
        TextureManager::getInstance()->release(t);
}

void MotionBlurFilter::init(int time)
{
    initBase(time);
    captureAlpha = 0.5f;
    captureInterval = 4;
}

void MotionBlurFilter::preRender(int time)
{
    ++frameCounter;
    if (frameCounter % captureInterval != 0)
        return;

    Texture* target;
    if (freeCount > 0) {
        target = freeList[0];
        for (int i = 1; i < freeCount; ++i)
            freeList[i - 1] = freeList[i];
        --freeCount;
    } else {
        target = history[--historyCount];
    }

    if (source)
        capture(target, time);

    // Without a source the texture still moves to the front, with whatever
    // it held before.
    for (int i = historyCount; i > 0; --i)
        history[i] = history[i - 1];
    history[0] = target;
    ++historyCount;
}

void MotionBlurFilter::capture(Texture* target, int time)
{
    // The viewport goes back to the whole screen, not to what it was.
    postprocess::beginCaptureSquare(kFrameSize);
    source->render(time, false);
    postprocess::copyCaptureSquare(target, kFrameSize);
    const GLint screen[4] = {0, 0, screenWidth, screenHeight};
    postprocess::endCaptureSquare(screen);
}

void MotionBlurFilter::render(int time, bool applyRect)
{
    if (!source)
        return;
    if (drawSource)
        source->render(time, applyRect);
    drawHistory();
}

void MotionBlurFilter::drawHistory()
{
    if (historyCount == 0 || !quad)
        return;
    const float step = captureAlpha / static_cast<float>(historyCount);

    // y grows upward here, which the quad's corners expect.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.1f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);

    float a = captureAlpha;
    for (int i = 0; i < historyCount; ++i) {
        glColor4f(1.0f, 1.0f, 1.0f, a);
        glBindTexture(GL_TEXTURE_2D, history[i] ? history[i]->textureId : 0);
        quad->draw(1);
        a -= step;
    }

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}

const SignalTable& MotionBlurFilter::signals()
{
    static const SignalInfo codes[] = {
        {90, "frames", "capture every N frames"},
        {94, "on", "draw the source too"},
        {95, "", "forget the trail"},
        {118, "alpha", "alpha of each capture 0..255"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void MotionBlurFilter::signal(const SignalArgs& args)
{
    Effect::signal(args);
    const int* a = args.args;
    switch (args.code) {
    case 90:
        captureInterval = a[0] < 1 ? 1 : a[0];
        break;
    case 94:
        drawSource = a[0] != 0;
        break;
    case 95:
        for (int i = 0; i < historyCount; ++i)
            freeList[freeCount++] = history[i];
        historyCount = 0;
        frameCounter = 0;
        break;
    case 118:
        captureAlpha = static_cast<float>(a[0]) / 255.0f;
        break;
    default:
        break;
    }
}
