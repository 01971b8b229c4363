#include "effects/RenderTargetLayer.h"

#include "effects/PostProcess.h"
#include "gl/GLExtensions.h"
#include "gl/PBufferManager.h"
#include "gl/WindowTarget.h"

#include <GL/gl.h>

#include <cmath>

static const char* const kTargetName = "renderTarget";

static RenderTargetSizing& currentSizing()
{
    static RenderTargetSizing sizing;
    return sizing;
}

// Signal 407's second argument that starts the shake: the letter 'n'.
static constexpr int kShakeNow = 110;

void RenderTargetLayer::setSizing(const RenderTargetSizing& sizing)
{
    currentSizing() = sizing;
}

void RenderTargetLayer::wantedTargetSize(int pictureWidth, int pictureHeight, int& width, int& height)
{
    // Asked once: the driver's limits do not change while it runs.
    static GLint maxSide = 0;
    static bool anySize = false;
    if (maxSide == 0) {
        GLint maxTexture = 0, maxRenderbuffer = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
        maxSide = maxTexture < maxRenderbuffer ? maxTexture : maxRenderbuffer;
        anySize = isExtensionSupported("GL_ARB_texture_non_power_of_two");
    }
    renderTargetSize(currentSizing(), pictureWidth, pictureHeight, maxSide, anySize, width, height);
}

RenderTargetLayer::RenderTargetLayer(Effect* innerEffect)
{
    source = innerEffect;
    int pictureWidth = 0, pictureHeight = 0, width = 0, height = 0;
    windowPictureSize(pictureWidth, pictureHeight);
    wantedTargetSize(pictureWidth, pictureHeight, width, height);
    target = PBufferManager::getInstance()->getPBuffer(kTargetName, width, height, GL_REPEAT, GL_LINEAR, GL_LINEAR);
}

RenderTargetLayer::~RenderTargetLayer()
{
    if (target)
        PBufferManager::getInstance()->release(target);
    delete source;
}

void RenderTargetLayer::init(int time)
{
    initBase(time);
    // Once more inside the buffer's context, so that state the inner effect
    // sets up at init is where it renders.
    if (target && target->isCreated() && source) {
        target->enable();
        source->init(time);
        target->disable();
    }
}

void RenderTargetLayer::preRender(int time)
{
    int pictureWidth = 0, pictureHeight = 0;
    windowPictureSize(pictureWidth, pictureHeight);
    if (target && target->isCreated() && source) {
        int width = 0, height = 0;
        wantedTargetSize(pictureWidth, pictureHeight, width, height);
        if (width != target->width || height != target->height)
            target->resize(width, height);
    }
    postprocess::captureToPBuffer(target, source, time, pictureAspect(pictureWidth, pictureHeight));
}

void RenderTargetLayer::render(int time, bool applyRect)
{
    update(time, applyRect);
    postprocess::loadFullScreenProjection();

    shakeOffset = 0.0f;
    if (shaking) {
        // A shake of no length is over before it shows.
        float k = shakeDuration > 0.0f ? 1.0f - (static_cast<float>(time) - shakeStart) / shakeDuration : -1.0f;
        if (k < 0.0f) {
            shaking = false;
        } else {
            shakeOffset = k * std::sin(shakeFrequency * scaledLocalTime) * shakeAmplitude;
            glTranslatef(0.0f, shakeOffset, 0.0f);
        }
    }

    glTranslatef(rotationCentreX, rotationCentreY, rotationCentreZ);
    glRotatef(rotationX.value(), 1.0f, 0.0f, 0.0f);
    glRotatef(rotationY.value(), 0.0f, 1.0f, 0.0f);
    glRotatef(rotationZ.value(), 0.0f, 0.0f, 1.0f);
    glTranslatef(-rotationCentreX, -rotationCentreY, -rotationCentreZ);

    postprocess::beginFullScreenState();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    if (target)
        target->bind(kColourBuffer);
    glColor4f(red.value(), green.value(), blue.value(), alpha.value());
    postprocess::drawFullScreenQuad();
    if (target)
        target->release(kColourBuffer);
    postprocess::endFullScreenState();
}

const SignalTable& RenderTargetLayer::signals()
{
    static const SignalInfo codes[] = {
        {91, "frequency amplitude duration", "shake setup (frequency and amplitude in 1/1000)"},
        {407, "time step", "a pattern step: step 'n' (110) shakes from time"},
    };
    static const SignalTable table = signalTable(codes, nullptr);
    return table;
}

void RenderTargetLayer::signal(const SignalArgs& args)
{
    const int* a = args.args;
    switch (args.code) {
    case 91:
        shakeFrequency = static_cast<float>(a[0]) * 0.001f;
        shakeAmplitude = static_cast<float>(a[1]) * 0.001f;
        shakeDuration = static_cast<float>(a[2]);
        break;
    case 407:
        if (a[1] == kShakeNow) {
            shaking = true;
            shakeStart = static_cast<float>(a[0]);
        }
        break;
    // The wrapper's own look: colour, rectangle and rotation. Its source
    // and clock stay as they are.
    case 200:
    case 201:
    case 202:
    case 203:
    case 205:
    case 206:
    case 500:
    case 501:
        Effect::signal(args);
        break;
    default:
        break;
    }

    if (!source)
        return;
    bool inBuffer = target && target->isCreated();
    if (inBuffer)
        target->enable();
    source->signal(args);
    if (inBuffer)
        target->disable();
}
