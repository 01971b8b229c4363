#include "effects/InvertFlash.h"

#include "effects/ScreenQuad.h"

#include <GL/gl.h>

InvertFlash::InvertFlash()
    : quad(new UnitScreenQuad())
{
}

InvertFlash::~InvertFlash()
{
    delete quad;
}

void InvertFlash::init(int)
{
    red.reset(0.0f);
    green.reset(0.0f);
    blue.reset(0.0f);
}

const SignalTable& InvertFlash::signals()
{
    static const SignalInfo codes[] = {
        {90, "ms", "flash length"},
        {400, "time", "flash at demo time `time`"},
        {407, "time step", "a pattern step: flash at time"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void InvertFlash::signal(const SignalArgs& args)
{
    Effect::signal(args);
    switch (args.code) {
    case 90:
        flashLength = args.args[0];
        break;
    case 400:
    case 407: {
        // A flash still fading (as last drawn) keeps its course.
        if (red.value() > 0.0f)
            break;
        AnimatedValue* rgba[4] = {&red, &green, &blue, &alpha};
        for (AnimatedValue* v : rgba) {
            v->reset(1.0f);
            v->moveTo(0.0f);
            v->setStartTime(args.args[0]);
            v->setDuration(static_cast<float>(flashLength));
        }
        break;
    }
    default:
        break;
    }
}

void InvertFlash::catchUp(int time)
{
    update(time, false);
}

void InvertFlash::render(int time, bool applyRect)
{
    update(time, applyRect);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    glColor4f(red.value(), green.value(), blue.value(), alpha.value());
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ONE_MINUS_SRC_COLOR);

    quad->draw(1);

    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
}
