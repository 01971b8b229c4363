#include "engine/ScreenFade.h"

#include <GL/gl.h>

ScreenFade::ScreenFade()
{
    red.reset(0.0f);
    green.reset(0.0f);
    blue.reset(0.0f);
}

void ScreenFade::init(int time)
{
    initBase(time);
    fadeStart = time;
    startAlpha = 0.0f;
}

void ScreenFade::setFade(float from, long long durationMs)
{
    if (durationMs == 0) {
        startAlpha = 1.0f - from;
        rate = 0.0f;
        return;
    }
    startAlpha = from;
    rate = (from > 0.5f ? -1.0f : 1.0f) / static_cast<float>(durationMs);
}

const SignalTable& ScreenFade::signals()
{
    static const SignalInfo codes[] = {
        {3, "time", "fade out until demo time `time`"},
        {4, "time", "fade in until demo time `time`"},
        {6, "duration", "fade in over duration"},
        {7, "duration", "fade out over duration"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void ScreenFade::signal(const SignalArgs& args)
{
    Effect::signal(args);
    int t = args.args[0];
    switch (args.code) {
    case 3:
        setFade(1.0f, static_cast<long long>(t) - fadeStart);
        break;
    case 4:
        setFade(0.0f, static_cast<long long>(t) - fadeStart);
        break;
    case 6:
        setFade(0.0f, t);
        break;
    case 7:
        setFade(1.0f, t);
        break;
    default:
        break;
    }
}

void ScreenFade::render(int time, bool applyRect)
{
    if (!running)
        return;
    update(time, applyRect);
    fadeAlpha = static_cast<float>(static_cast<long long>(time) - fadeStart) * rate + startAlpha;
    if (fadeAlpha <= 0.0f)
        return;

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glColor4f(red.value(), green.value(), blue.value(), fadeAlpha);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}
