#include "engine/FlashOverlay.h"

#include <GL/gl.h>

#include <cmath>

FlashOverlay::FlashOverlay()
{
    speed = 500.0f;
    red.reset(1.0f);
    green.reset(1.0f);
    blue.reset(1.0f);
}

void FlashOverlay::init(int time)
{
    initBase(time);
}

void FlashOverlay::catchUp(int time)
{
    fade(time);
}

bool FlashOverlay::fade(int time)
{
    if (!running)
        return false;
    update(time, false);

    float elapsed = static_cast<float>(static_cast<long long>(time) - startTime);
    if (repeatInterval > 0.0f && elapsed >= 0.0f)
        elapsed = std::fmod(elapsed, repeatInterval);
    float level = flashLength > 0.0f ? 1.0f - elapsed / flashLength : -1.0f;
    alpha.reset(level);
    if (alpha.value() < 0.0f) {
        if (repeatInterval < 0.0f)
            stop();
        alpha.reset(0.0f);
    }
    return running && alpha.value() != 0.0f;
}

const SignalTable& FlashOverlay::signals()
{
    static const SignalInfo codes[] = {
        {1, "", "one flash, then the effect stops itself"},
        {2, "interval", "flash again every interval ms of the effect's clock"},
        {8, "", "one flash, then the effect stays running and invisible"},
        {10, "speed", "clock divisor, and the flash length with it"},
        {407, "time step", "a pattern step: flash at time for digit x speed ms"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void FlashOverlay::signal(const SignalArgs& args)
{
    Effect::signal(args);
    switch (args.code) {
    case 1:
        start();
        repeatInterval = -1.0f;
        break;
    case 2:
        start();
        repeatInterval = static_cast<float>(args.args[0]);
        break;
    case 8:
        start();
        repeatInterval = 0.0f;
        break;
    case 10:
        flashLength = speed;
        break;
    case 407:
        flashLength = static_cast<float>(args.args[1] - '0') * speed;
        init(args.args[0]);
        break;
    default:
        break;
    }
}

void FlashOverlay::render(int time, bool)
{
    if (!fade(time))
        return;

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glColor4f(red.value(), green.value(), blue.value(), alpha.value());
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(0.0f, 1.0f);
    glEnd();

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}
