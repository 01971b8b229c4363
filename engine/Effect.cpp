#include "engine/Effect.h"

#include "engine/EffectManager.h"
#include "platform/GLWindow.h"

#include <GL/gl.h>

int Effect::screenWidth = 0;
int Effect::screenHeight = 0;

Effect::Effect()
    : blendSource(GL_SRC_ALPHA)
    , blendDestination(GL_ONE_MINUS_SRC_ALPHA)
{
    width.reset(1.0f);
    height.reset(1.0f);
    red.reset(1.0f);
    green.reset(1.0f);
    blue.reset(1.0f);
    alpha.reset(1.0f);

    // Without a current context (tools, GL-free tests) the last size stays.
    if (platform::currentContext()) {
        GLint viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_VIEWPORT, viewport);
        screenWidth = viewport[2];
        screenHeight = viewport[3];
    }
}

Effect::~Effect() = default;

void Effect::catchUp(int)
{
}

void Effect::preRender(int)
{
}

int Effect::status()
{
    return 0;
}

void Effect::initBase(int time)
{
    x.reset(0.0f);
    y.reset(0.0f);
    width.reset(1.0f);
    height.reset(1.0f);
    red.reset(1.0f);
    green.reset(1.0f);
    blue.reset(1.0f);
    alpha.reset(1.0f);
    blending = false;
    blendSource = GL_SRC_ALPHA;
    blendDestination = GL_ONE_MINUS_SRC_ALPHA;
    paramA.reset(0.0f);
    paramB.reset(0.0f);
    scaledLocalTime = 0.0f;
    localTime = 0;
    paused = false;
    pauseStarted = 0;
    startTime = time;
    lastTime = time;
    if (source && !initialisingSource) {
        initialisingSource = true;
        source->init(time);
        initialisingSource = false;
    }
}

void Effect::update(int time, bool applyRect)
{
    if (paused) {
        frameDelta = 0;
    } else {
        frameDelta = time - lastTime;
        lastTime = time;
        localTime = time - startTime;
        scaledLocalTime = static_cast<float>(localTime) / speed;
    }

    x.update(time);
    y.update(time);
    width.update(time);
    height.update(time);
    red.update(time);
    green.update(time);
    blue.update(time);
    alpha.update(time);
    paramA.update(time);
    paramB.update(time);
    rotationX.update(time);
    rotationY.update(time);
    rotationZ.update(time);

    if (applyRect) {
        float w = static_cast<float>(screenWidth);
        float h = static_cast<float>(screenHeight);
        glViewport(static_cast<GLint>(x.value() * w), static_cast<GLint>(y.value() * h),
                   static_cast<GLsizei>(width.value() * w), static_cast<GLsizei>(height.value() * h));
    }
}

void Effect::applyBlend()
{
    if (blending || alpha.value() < 1.0f) {
        glEnable(GL_BLEND);
        glBlendFunc(blendSource, blendDestination);
    } else {
        glDisable(GL_BLEND);
    }
    glColor4f(1.0f, 1.0f, 1.0f, alpha.value());
}

void Effect::resetBlend()
{
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void Effect::pause(int time)
{
    if (!paused) {
        paused = true;
        pauseStarted = time;
    }
}

void Effect::resume(int time)
{
    if (paused) {
        paused = false;
        startTime += time - pauseStarted;
    }
}

void Effect::skip(int ms)
{
    startTime += ms;
    localTime = lastTime - startTime;
    scaledLocalTime = static_cast<float>(localTime) / speed;
}

unsigned int Effect::blendFactorFromCode(int code)
{
    switch (code) {
    case 10: return GL_ONE;
    case 12: return GL_SRC_ALPHA;
    case 13: return GL_DST_ALPHA;
    case 14: return GL_ONE_MINUS_SRC_ALPHA;
    case 15: return GL_ONE_MINUS_DST_ALPHA;
    case 16: return GL_SRC_COLOR;
    case 17: return GL_DST_COLOR;
    case 18: return GL_ONE_MINUS_SRC_COLOR;
    case 19: return GL_ONE_MINUS_DST_COLOR;
    default: return GL_ZERO;
    }
}

// ---------------------------------------------------------------------------
// Base signal table
//
// Colours arrive as bytes (/ 255), rectangles as percentages (* 0.01), curve
// control values as hundredths; start times are relative to the time offset
// the signal was written under.

static float byteToUnit(int v)
{
    return static_cast<float>(v) / 255.0f;
}

static float percent(int v)
{
    return static_cast<float>(v) * 0.01f;
}

// Starts a move of one value; the curve mode and control values are left as
// they are unless the caller sets them.
static void moveValue(AnimatedValue& value, float target, int startMs, int durationMs)
{
    value.moveTo(target);
    value.setStartTime(startMs);
    value.setDuration(static_cast<float>(durationMs));
}

const SignalTable& Effect::signals()
{
    static const SignalInfo codes[] = {
        {10, "speed", "clock divisor: local time / speed (100 is real time)"},
        {12, "on time", "pause (on != 0) or resume the clock at demo time `time`"},
        {13, "ms", "skip the clock by ms"},
        {14, "speed", "clock divisor in tenths"},
        {15, "speed", "clock divisor in hundredths"},
        {70, "id", "read from (or forward to) the effect with this id"},
        {100, "alpha", "blending on, alpha 0..255"},
        {101, "", "blending off, alpha 1"},
        {102, "factor", "blend source factor code"},
        {103, "factor", "blend destination factor code"},
        {118, "alpha", "alpha 0..255"},
        {124, "alpha start duration [mode [c1 c2]]", "fade alpha to 0..255"},
        {200, "r g b", "colour 0..255"},
        {201, "r g b a", "colour and alpha 0..255"},
        {202, "x y w h", "rectangle in percent of the screen"},
        {203, "x y w h start duration [mode [c1 c2]]", "move the rectangle"},
        {204, "source destination", "both blend factor codes"},
        {205, "r g b start duration [mode [c1 c2]]", "fade the colour"},
        {206, "r g b a start duration [mode [c1 c2]]", "fade colour and alpha"},
        {403, "value", "parameter A, in 1/100000"},
        {404, "value", "parameter B, in 1/100000"},
        {500, "x0 y0 z0 x1 y1 z1 start duration", "rotate from angles 0 to angles 1 (degrees)"},
        {501, "x y z", "rotation centre in percent"},
    };
    static const SignalTable table = signalTable(codes, nullptr);
    return table;
}

void Effect::signal(const SignalArgs& s)
{
    const int* a = s.args;
    const int n = s.count;
    const int off = s.timeOffset;

    switch (s.code) {
    case 10:
        speed = static_cast<float>(a[0]);
        break;
    case 12:
        if (a[0] != 0)
            pause(a[1] + off);
        else
            resume(a[1] + off);
        break;
    case 13:
        skip(a[0]);
        break;
    case 14:
        speed = static_cast<float>(a[0]) * 0.1f;
        break;
    case 15:
        speed = static_cast<float>(a[0]) * 0.01f;
        break;
    case 70:
        source = EffectManager::instance()->findEffect(a[0]);
        break;
    case 100:
        blending = true;
        alpha.reset(byteToUnit(a[0]));
        break;
    case 101:
        blending = false;
        alpha.reset(1.0f);
        break;
    case 102:
        blendSource = blendFactorFromCode(a[0]);
        break;
    case 103:
        blendDestination = blendFactorFromCode(a[0]);
        break;
    case 118:
        alpha.reset(byteToUnit(a[0]));
        break;
    case 204:
        blendSource = blendFactorFromCode(a[0]);
        blendDestination = blendFactorFromCode(a[1]);
        break;
    case 124:
        moveValue(alpha, byteToUnit(a[0]), a[1] + off, a[2]);
        if (n >= 4)
            alpha.setMode(a[3]);
        if (n >= 6)
            alpha.setCurve(percent(a[4]), percent(a[5]));
        break;
    case 200:
        red.reset(byteToUnit(a[0]));
        green.reset(byteToUnit(a[1]));
        blue.reset(byteToUnit(a[2]));
        break;
    case 201:
        alpha.reset(byteToUnit(a[3]));
        red.reset(byteToUnit(a[0]));
        green.reset(byteToUnit(a[1]));
        blue.reset(byteToUnit(a[2]));
        break;
    case 202:
        x.reset(percent(a[0]));
        y.reset(percent(a[1]));
        width.reset(percent(a[2]));
        height.reset(percent(a[3]));
        break;
    case 203: {
        AnimatedValue* rect[4] = {&x, &y, &width, &height};
        for (int i = 0; i < 4; ++i) {
            moveValue(*rect[i], percent(a[i]), a[4] + off, a[5]);
            if (n >= 7)
                rect[i]->setMode(a[6]);
            if (n >= 9)
                rect[i]->setCurve(percent(a[7]), percent(a[8]));
        }
        break;
    }
    case 205: {
        AnimatedValue* rgb[3] = {&red, &green, &blue};
        for (int i = 0; i < 3; ++i)
            moveValue(*rgb[i], byteToUnit(a[i]), a[3] + off, a[4]);
        AnimatedValue* rgba[4] = {&red, &green, &blue, &alpha};
        for (AnimatedValue* v : rgba) {
            if (n >= 6)
                v->setMode(a[5]);
            if (n >= 8)
                v->setCurve(percent(a[6]), percent(a[7]));
        }
        break;
    }
    case 206: {
        AnimatedValue* rgba[4] = {&red, &green, &blue, &alpha};
        for (int i = 0; i < 4; ++i) {
            moveValue(*rgba[i], byteToUnit(a[i]), a[4] + off, a[5]);
            if (n >= 7)
                rgba[i]->setMode(a[6]);
            if (n >= 9)
                rgba[i]->setCurve(percent(a[7]), percent(a[8]));
        }
        break;
    }
    case 403:
        paramA.reset(static_cast<float>(a[0]) * 0.00001f);
        break;
    case 404:
        paramB.reset(static_cast<float>(a[0]) * 0.00001f);
        break;
    case 500: {
        AnimatedValue* rot[3] = {&rotationX, &rotationY, &rotationZ};
        for (int i = 0; i < 3; ++i) {
            rot[i]->reset(static_cast<float>(a[i]));
            moveValue(*rot[i], static_cast<float>(a[3 + i]), a[6] + off, a[7]);
        }
        break;
    }
    case 501:
        rotationCentreX = percent(a[0]);
        rotationCentreY = percent(a[1]);
        rotationCentreZ = percent(a[2]);
        break;
    default:
        break;
    }
}
