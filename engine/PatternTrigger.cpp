#include "engine/PatternTrigger.h"

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

void PatternTrigger::fireStep(int time)
{
    char c = steps[currentStep];
    if (c != '0' && source) {
        SignalArgs s;
        s.reserved = 0;
        s.code = kPatternSignal;
        s.args[0] = time;
        s.args[1] = static_cast<unsigned char>(c);
        s.count = 2;
        source->signal(s);
    }
    if (++currentStep >= patternLength) {
        currentStep = 0;
        passComplete = true;
    }
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
    if (newPass) {
        while (!passComplete)
            fireStep(time);
        passComplete = false;
    }
    while (!passComplete &&
           static_cast<unsigned long long>(currentStep) * static_cast<unsigned>(stepLength) <= position)
        fireStep(time);

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
