#include "effects/PostProcess.h"

#include "engine/Effect.h"
#include "gl/PBuffer.h"
#include "gl/Texture.h"

namespace postprocess {

// Signal 251: the camera aspect in hundredths for what renders off screen.
static constexpr int kAspectSignal = 251;

void beginCaptureSquare(int size)
{
    glViewport(0, 0, size, size);
    glScissor(0, 0, size, size);
    glEnable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void copyCaptureSquare(Texture* target, int size)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, target ? target->textureId : 0);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void endCaptureSquare(const GLint viewport[4])
{
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glDisable(GL_SCISSOR_TEST);
}

void captureToTexture(Effect* source, int time, int size, Texture* target)
{
    if (!source)
        return;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    beginCaptureSquare(size);
    source->render(time, false);
    copyCaptureSquare(target, size);
    endCaptureSquare(viewport);
}

void captureToPBuffer(PBuffer* buffer, Effect* source, int time, int aspect)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (buffer && buffer->isCreated() && source) {
        buffer->enable();
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (aspect != 0)
            source->signal(outgoingSignal(kAspectSignal, {aspect}));
        source->render(time, false);
        buffer->disable();
    }
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void loadFullScreenProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void beginFullScreenState()
{
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
}

void drawFullScreenQuad()
{
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glEnd();
}

void endFullScreenState()
{
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

SignalArgs outgoingSignal(int code, std::initializer_list<int> args)
{
    SignalArgs s;
    s.code = code;
    for (int v : args)
        s.addArg(v);
    return s;
}

} // namespace postprocess
