#pragma once
// A float that glides from where it is to a target over a stretch of demo
// time: every effect rectangle, colour and tunable parameter is one. A signal
// sets the move up (moveTo, start time, duration, curve mode); the effect calls
// update with the demo time once per frame and reads value().
//
// Curve modes: 1 linear, 2 quadratic ease-in, 3 sine ease-out, 4 a Catmull-Rom
// curve from 0 to 1 shaped by curveA and curveB. A move ends when its time is
// up or the value has reached the target; the value then snaps to the target.
//
// The nine fields keep their order: effects copy and compare them as a record.

class AnimatedValue {
public:
    enum Mode { Linear = 1, EaseIn = 2, SineEaseOut = 3, Curve = 4 };

    float current = 0.0f;
    float target = 0.0f;
    float start = 0.0f;     // value when the running move began
    float delta = 0.0f;     // target - start of the running move; 0 when idle
    float duration = 0.0f;  // ms
    float startTime = 0.0f; // demo time in ms at which the move begins
    int mode = Linear;
    float curveA = 0.0f;    // outer control point before the start (curve mode)
    float curveB = 1.0f;    // outer control point after the end (curve mode)

    AnimatedValue() = default;
    explicit AnimatedValue(float v) { reset(v); }

    // Jumps to v and ends any move.
    void reset(float v);
    // Starts a move from the current value to v; timing comes from
    // setStartTime and setDuration.
    void moveTo(float v);
    void setStartTime(int ms) { startTime = static_cast<float>(ms); }
    void setDuration(float ms) { duration = ms; }
    void setMode(int m) { mode = m; }
    void setCurve(float a, float b)
    {
        curveA = a;
        curveB = b;
    }

    // Advances the move to demo time now (ms) and returns the value.
    float update(int now);
    float value() const { return current; }
};

static_assert(sizeof(AnimatedValue) == 36, "AnimatedValue is nine 32-bit fields");
