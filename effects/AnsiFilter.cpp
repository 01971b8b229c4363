#include "effects/AnsiFilter.h"

#include "effects/PostProcess.h"
#include "gl/ErrorBox.h"

#include <GL/gl.h>

AnsiFilter::AnsiFilter()
{
    for (int i = 0; i < kBufferCount; ++i)
        setupBuffer(buffers[i], blockSizes[i]);
}

AnsiFilter::~AnsiFilter()
{
    for (PBuffer& b : buffers)
        b.destroy();
}

void AnsiFilter::setupBuffer(PBuffer& buffer, int size)
{
    if (buffer.isCreated())
        buffer.destroy();
    if (size <= 0)
        return;
    buffer.create(size, size, false);
    buffer.setupTexture(GL_REPEAT, GL_LINEAR, nearest ? GL_NEAREST : GL_LINEAR);
    buffer.enable();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    buffer.disable();
}

void AnsiFilter::init(int time)
{
    initBase(time);
}

void AnsiFilter::preRender(int time)
{
    if (!source)
        return;
    checkGLError("AnsiFilter::PreRender");
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (PBuffer& b : buffers) {
        if (!b.isCreated())
            continue;
        b.enable();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        source->render(time, false);
        b.disable();
    }
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void AnsiFilter::render(int time, bool applyRect)
{
    if (!source)
        return;
    source->render(time, applyRect);
    for (PBuffer& b : buffers) {
        if (!b.isCreated())
            continue;
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glTranslatef(0.5f, 0.5f, 0.0f);
        glRotatef(rotationX.value(), 1.0f, 0.0f, 0.0f);
        glRotatef(rotationY.value(), 0.0f, 1.0f, 0.0f);
        glRotatef(rotationZ.value(), 0.0f, 0.0f, 1.0f);
        glTranslatef(-0.5f, -0.5f, 0.0f);

        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        b.bind(kColourBuffer);
        glColor3f(brightness, brightness, brightness);
        postprocess::drawFullScreenQuad();

        // Depth writes are left alone and culling stays off.
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        b.release(kColourBuffer);
        glColor3f(1.0f, 1.0f, 1.0f);
    }
}

const SignalTable& AnsiFilter::signals()
{
    static const SignalInfo codes[] = {
        {90, "brightness", "character brightness 0..255"},
        {91, "nearest size1 size2 ...", "sampling (nearest != 0) and block sizes of the buffers"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void AnsiFilter::signal(const SignalArgs& args)
{
    Effect::signal(args);
    const int* a = args.args;
    switch (args.code) {
    case 90:
        brightness = static_cast<float>(a[0]) / 255.0f;
        break;
    case 91:
        nearest = a[0] != 0;
        for (int i = 0; i < kBufferCount; ++i) {
            blockSizes[i] = a[1 + i];
            setupBuffer(buffers[i], blockSizes[i]);
        }
        break;
    default:
        break;
    }
}
