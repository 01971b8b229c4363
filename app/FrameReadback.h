#pragma once
// Reads finished pictures back from GL without waiting for them: each frame
// is read into one of a small ring of pixel buffer objects, and handed on
// only when the ring comes round to it again, one frame later, so that the
// copy of frame n is done while frame n+1 is drawn. flush() hands on the
// frames still in the ring, in order. Where the driver has no pixel buffer
// objects the ring stays off and the capture reads the picture directly.
//
// Needs the window's GL context current in every call.

#include <GL/gl.h>

#include <cstdint>

class FrameSink {
public:
    // Frame `index` of width x height RGBA pixels, bottom row first; the
    // pixels are only valid during the call. False stops the capture.
    virtual bool takeFrame(int index, const uint8_t* rgba, int width, int height) = 0;

protected:
    ~FrameSink() = default;
};

class FrameReadback {
public:
    explicit FrameReadback(FrameSink& sink);

    // Turns the ring on when the driver can; false: read directly.
    bool start();
    bool active() const { return ring[0] != 0; }
    // Starts reading the picture of the window's target as frame `index`
    // (pack alignment 1 already set), handing on the oldest frame when the
    // ring is full. False when that failed.
    bool read(int index, int width, int height);
    // Hands on every frame still in the ring, oldest first.
    bool flush();
    // Deletes the buffers; the ring is off afterwards.
    void release();

private:
    bool handOn();

    static constexpr int kRing = 2;
    FrameSink& sink;
    GLuint ring[kRing] = {};
    int width = 0;
    int height = 0;
    int next = 0;       // the buffer the next read goes into
    int pending = 0;    // frames read but not handed on
    int indices[kRing] = {};
};
