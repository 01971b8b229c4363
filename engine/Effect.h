#pragma once
// The base of everything that is drawn. An effect has a running flag, its own
// clock (measured from its start time in demo milliseconds), an on-screen
// rectangle in fractions of the screen, a colour, blending state and a few
// animated parameters. The script drives it only through start, stop, init,
// layer assignment and numbered signals; the EffectManager owns it.
//
// Clock: local time = last update time - start time; scaled local time =
// local time / speed (speed 100 by default), the unit of scene animation.
// Pausing freezes the clock; resuming moves the start time forward by the
// length of the pause, so local time goes on where it stopped.

#include "engine/SignalArgs.h"
#include "engine/SignalInfo.h"
#include "math/AnimatedValue.h"

class Effect {
public:
    Effect();
    virtual ~Effect();

    // Resets the effect to its first frame at demo time `time` (ms).
    virtual void init(int time) = 0;
    // Draws the effect; the layer pass always passes applyRect = true.
    virtual void render(int time, bool applyRect) = 0;
    // The base signal table; derived classes handle their own codes and
    // pass every signal on to this one.
    virtual void signal(const SignalArgs& args);
    // The codes signal() understands.
    static const SignalTable& signals();
    // Runs for every running effect on a layer before layers 1 to 15 draw:
    // filters capture their source's picture here.
    virtual void preRender(int time);
    // A query the engine core never asks; 0 unless an effect gives it a meaning.
    virtual int status();
    // A frame that a fast-forward plays without drawing (a seek ahead, a run
    // started or captured mid-show), for every running effect on a layer in
    // layer order: does what render does as time passes from frame to frame
    // rather than from the time alone, so that the frames drawn after the
    // jump show what a run that drew every frame shows. Most effects need
    // nothing.
    virtual void catchUp(int time);

    void start() { running = true; }
    void stop() { running = false; }
    bool isRunning() const { return running; }
    bool isPaused() const { return paused; }

    void initBase(int time);
    void update(int time, bool applyRect);
    void applyBlend();
    void resetBlend();
    void pause(int time);
    void resume(int time);
    void skip(int ms);

    // GL blend factor for a script factor code; unknown codes give GL_ZERO.
    static unsigned int blendFactorFromCode(int code);

    // Screen size in pixels, read from the GL viewport whenever an effect is
    // constructed and set again when the engine's picture is resized; turns
    // the fractional rectangle into pixels.
    static int screenWidth;
    static int screenHeight;

    bool running = false;
    AnimatedValue x, y, width, height;     // fractions of the screen
    AnimatedValue red, green, blue, alpha; // 0..1
    bool blending = false;
    unsigned int blendSource;              // GL blend factors
    unsigned int blendDestination;
    int startTime = 0;                     // demo ms at which local time is 0
    int lastTime = 0;                      // demo ms of the last update
    int frameDelta = 0;                    // ms since the previous update; 0 while paused
    int localTime = 0;                     // ms
    float speed = 100.0f;                  // divisor of the scaled local time
    float scaledLocalTime = 0.0f;
    bool paused = false;
    int pauseStarted = 0;                  // demo ms
    AnimatedValue paramA, paramB;          // general parameters (signals 403, 404)
    Effect* source = nullptr;              // registered effect read from or forwarded to; not owned
    AnimatedValue rotationX, rotationY, rotationZ;  // angles (signal 500)
    float rotationCentreX = 1.0f;
    float rotationCentreY = 1.0f;
    float rotationCentreZ = 0.0f;

private:
    // Set while initBase passes init on to the source, so that a script that
    // makes an effect its own source (directly or round a ring) cannot recurse
    // without end.
    bool initialisingSource = false;

    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;
};
