#include "effects/RenderTargetLayer.h"

#include "effects/PostProcess.h"
#include "gl/PBufferManager.h"

#include <GL/gl.h>

#include <cmath>

static const char* const kTargetName = "renderTarget";

// Signal 407's second argument that starts the shake: the letter 'n'.
static constexpr int kShakeNow = 110;

RenderTargetLayer::RenderTargetLayer(Effect* innerEffect)
{
    source = innerEffect;
    target = PBufferManager::getInstance()->getPBuffer(kTargetName, kTargetSize, kTargetSize, GL_REPEAT, GL_LINEAR,
                                                       GL_LINEAR);
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
    postprocess::captureToPBuffer(target, source, time, true);
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
