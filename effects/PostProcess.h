#pragma once
// The conventions the picture filters share: how a source effect's picture is
// captured, how a capture is drawn back over the screen, and how an effect
// builds the signals it sends to another.
//
// A filter captures in preRender, which the layer pass runs for every running
// effect before layers 1 to 15 draw, and composites in render.
//
// Back-buffer capture: the source renders into a size x size square in the
// lower-left corner of the back buffer the frame is being built in (viewport
// and scissor set to the square, square cleared), the square is copied into
// a texture made once by the filter, and the square is cleared again so that
// the layers drawn afterwards find it empty. Nothing is read back to the CPU
// and nothing is allocated. A square larger than the window copies rows that
// lie outside it; what they hold is up to the driver.
//
// Off-screen capture: the source renders into a PBuffer's own context, which
// keeps every state the source sets there.
//
// Full-screen quad: unit orthographic projection with y growing downward
// (glOrtho 0, 1, 1, 0), identity modelview, depth test, culling and depth
// writes off; texture (0, 0) at the screen's bottom-left corner, so that a
// capture, whose row 0 is the bottom of the picture, shows upright.

#include "engine/SignalArgs.h"

#include <GL/gl.h>

#include <initializer_list>

class Effect;
class PBuffer;
class Texture;

namespace postprocess {

// Viewport and scissor to the square (0, 0, size, size), scissor test on,
// colour and depth cleared inside it.
void beginCaptureSquare(int size);
// Copies the square into `target` (GL_TEXTURE_2D left enabled and the
// target bound), then clears the square's colour and depth.
void copyCaptureSquare(Texture* target, int size);
// Viewport back to `viewport`, scissor test off.
void endCaptureSquare(const GLint viewport[4]);

// The whole back-buffer capture: the current viewport saved, the source
// rendered into the square with applyRect false, copied into `target`,
// the square cleared and the viewport restored.
void captureToTexture(Effect* source, int time, int size, Texture* target);

// The off-screen capture: with the buffer created, it is enabled, cleared to
// transparent black, `source` renders into it (after signal 251 with
// `aspect` when that is not 0: a scene effect takes it as its camera's aspect
// in hundredths) and the buffer is disabled. The caller's viewport is
// restored either way.
void captureToPBuffer(PBuffer* buffer, Effect* source, int time, int aspect);

// Projection identity with glOrtho (0, 1, 1, 0, -1, 1), modelview identity,
// modelview left current.
void loadFullScreenProjection();
// Depth test, culling and depth writes off, GL_TEXTURE_2D on.
void beginFullScreenState();
// One GL_QUADS quad over the unit square: texture (0, 0) at (0, 1),
// (1, 0) at (1, 1), (1, 1) at (1, 0), (0, 1) at (0, 0).
void drawFullScreenQuad();
// Blending off, depth test and depth writes on, colour opaque white.
void endFullScreenState();

// A signal as one effect sends it to another: reserved 0, the code, the given
// arguments, time offset 0 and no text.
SignalArgs outgoingSignal(int code, std::initializer_list<int> args);

} // namespace postprocess
