#include "engine/PatternTrigger.h"

#include <climits>
#include <cstring>

PatternTrigger::PatternTrigger() = default;

void PatternTrigger::init(int time)
{
    initBase(time);
    currentStep = 0;
    lastPosition = 0;
    lastLocalTime = 0;
    passComplete = false;
}

void PatternTrigger::fireStep(int at)
{
    char c = steps[currentStep];
    if (c != '0' && source) {
        SignalArgs s;
        s.reserved = 0;
        s.code = kPatternSignal;
        s.args[0] = at;
        s.args[1] = static_cast<unsigned char>(c);
        s.count = 2;
        source->signal(s);
    }
    if (++currentStep >= patternLength) {
        currentStep = 0;
        passComplete = true;
    }
}

int PatternTrigger::dueTime(long long cycleStart, long long previousFrame) const
{
    long long due = cycleStart + static_cast<long long>(currentStep) * stepLength;
    // A new pattern or step length can place a step the trigger has not
    // reached before its last frame: it comes due now, not in the past.
    if (due < previousFrame)
        due = previousFrame;
    if (due < INT_MIN)
        return INT_MIN;
    return due > INT_MAX ? INT_MAX : static_cast<int>(due);
}

void PatternTrigger::render(int time, bool applyRect)
{
    update(time, applyRect);
    fireDueSteps(time);
}

void PatternTrigger::catchUp(int time)
{
    update(time, false);
    fireDueSteps(time);
}

void PatternTrigger::fireDueSteps(int time)
{
    if (stepLength <= 0 || patternLength <= 0)
        return;

    // Local time is taken as unsigned, so a clock before its start (negative
    // local time) lands somewhere in a late cycle rather than at a negative
    // position.
    unsigned long long cycle = static_cast<unsigned long long>(stepLength) * static_cast<unsigned>(patternLength);
    unsigned int position = static_cast<unsigned int>(static_cast<unsigned int>(localTime) % cycle);
    long long elapsed = static_cast<long long>(localTime) - lastLocalTime;

    if (currentStep >= patternLength) {
        // The pattern became shorter than the step reached: this pass is over.
        currentStep = 0;
        passComplete = true;
    }
    // A new pass began when the position went back, when a whole cycle or
    // more went by (landing on the same position or beyond), or when the
    // clock was set back.
    bool newPass = position < lastPosition || elapsed < 0 || static_cast<unsigned long long>(elapsed) >= cycle;
    // Each step is sent with the demo time at which it came due, not the
    // frame's: a flash started by it then looks the same at any frame rate,
    // and a frame that catches up on steps (a run started or sought mid-show,
    // a late frame) shows them as a frame on time would have, rather than
    // starting every flash it missed at full strength.
    const long long cycleStart = static_cast<long long>(time) - position;
    const long long previousFrame = elapsed < 0 ? LLONG_MIN : static_cast<long long>(time) - elapsed;
    if (newPass) {
        while (!passComplete)
            fireStep(dueTime(cycleStart - static_cast<long long>(cycle), previousFrame));
        passComplete = false;
    }
    while (!passComplete &&
           static_cast<unsigned long long>(currentStep) * static_cast<unsigned>(stepLength) <= position)
        fireStep(dueTime(cycleStart, previousFrame));

    lastPosition = position;
    lastLocalTime = localTime;
}

const SignalTable& PatternTrigger::signals()
{
    static const SignalInfo codes[] = {
        {405, "ms", "length of one pattern step"},
        {406, "pSTEPS", "the pattern: text \"p\" followed by one character per step"},
    };
    static const SignalTable table = signalTable(codes, &Effect::signals());
    return table;
}

void PatternTrigger::signal(const SignalArgs& args)
{
    Effect::signal(args);
    switch (args.code) {
    case 405:
        stepLength = args.args[0];
        break;
    case 406:
        if (args.text[0] == 'p') {
            size_t length = strnlen(args.text + 1, sizeof steps - 1);
            std::memcpy(steps, args.text + 1, length);
            steps[length] = '\0';
            patternLength = static_cast<int>(length);
        }
        break;
    default:
        break;
    }
}
