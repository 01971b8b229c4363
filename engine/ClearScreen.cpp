#include "engine/ClearScreen.h"

#include <GL/gl.h>

static constexpr GLbitfield kAllBuffers = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;

void ClearScreen::init(int)
{
    red.reset(0.0f);
    green.reset(0.0f);
    blue.reset(0.0f);
    alpha.reset(0.0f);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(kAllBuffers);
    glClearColor(red.value(), green.value(), blue.value(), alpha.value());
}

void ClearScreen::render(int, bool)
{
    glClear(kAllBuffers);
}

const SignalTable& ClearScreen::signals()
{
    static const SignalTable table{nullptr, 0, &Effect::signals(), false};
    return table;
}

void ClearScreen::signal(const SignalArgs& args)
{
    Effect::signal(args);
    glClearColor(red.value(), green.value(), blue.value(), alpha.value());
}
