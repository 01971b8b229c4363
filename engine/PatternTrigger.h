#pragma once
// Drives its source in a rhythm: the effect's local time is cut into cycles of
// pattern length steps of step length ms each; whenever a step is reached whose
// pattern character is not '0', the source receives signal 407 with the demo
// time of the frame that reached it and the character's code (a FlashOverlay
// flashes for digit x speed ms).
//
// Signals: 405 step length (ms); 406 the pattern as a text "p<digits>" (the "p"
// keeps a pattern of digits from being read as a number).
//
// Firing: every step fires exactly once per pass of the cycle, in index order,
// at the first frame whose position in the cycle has reached the step's start.
// A frame that jumps over several step starts fires each of them; one that
// jumps over the end of the cycle first fires the steps left in the old pass
// and then those already reached in the new one; a jump over several whole
// cycles (a minimised window) catches up on one pass, not on every one missed.
// A step length or pattern length of 0 makes the trigger idle. A new pattern
// or step length keeps the step index: the next step due is the next one of
// the new pattern, at its position in the new cycle.

#include "engine/Effect.h"


class PatternTrigger : public Effect {
public:
    static constexpr int kPatternSignal = 407;

    PatternTrigger();

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // Fires the steps due by `time`, as render does.
    void catchUp(int time) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    int stepIndex() const { return currentStep; }
    const char* pattern() const { return steps; }

private:
    void fireStep(int time);
    void fireDueSteps(int time);

    unsigned int lastPosition = 0; // position in the cycle at the previous frame (ms)
    int lastLocalTime = 0;         // local time of the previous frame (ms)
    bool passComplete = false;     // every step of the current pass has fired
    int stepLength = 1000;         // ms
    int currentStep = 0;           // next step to fire
    int patternLength = 4;
    char steps[kSignalTextSize] = "1111"; // one character per step
};
