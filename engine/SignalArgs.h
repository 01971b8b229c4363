#pragma once
// The argument record of a signal: what the script (or another effect) hands
// to Effect::signal. A plain value type, copied into every call, so it holds
// no heap memory: the text lives in a fixed buffer that fits any script word.

#include <climits>
#include <cstddef>
#include <cstring>

constexpr int kSignalMaxArgs = 10;
// A script word is at most 99 characters; the text buffer holds one plus its NUL.
constexpr int kSignalTextSize = 100;

struct SignalArgs {
    int reserved = 0;
    int code = 0;                   // the signal number
    int args[kSignalMaxArgs] = {};  // only the first min(count, 10) are set
    int* argPointer = args;         // always this record's own args[0]
    int timeOffset = 0;             // ms; start times in args are relative to it
    char text[kSignalTextSize] = {}; // text argument of a text signal, else ""
    int count = 0;                  // numeric arguments given; keeps counting past 10

    SignalArgs() = default;
    SignalArgs(const SignalArgs& other) { *this = other; }

    // Copies every field except the pointer, which keeps pointing at this
    // record's own array: a pointer into the source would dangle once the
    // source (a script event, a temporary) is gone.
    SignalArgs& operator=(const SignalArgs& other)
    {
        reserved = other.reserved;
        code = other.code;
        std::memcpy(args, other.args, sizeof args);
        argPointer = args;
        timeOffset = other.timeOffset;
        std::memcpy(text, other.text, sizeof text);
        count = other.count;
        return *this;
    }

    // Appends a numeric argument; beyond the tenth only the count grows.
    void addArg(int value)
    {
        if (count >= 0 && count < kSignalMaxArgs)
            args[count] = value;
        if (count < INT_MAX)
            ++count;
    }

    // Sets the text, cut to kSignalTextSize - 1 characters.
    void setText(const char* s, size_t length)
    {
        if (length > kSignalTextSize - 1)
            length = kSignalTextSize - 1;
        std::memcpy(text, s, length);
        text[length] = '\0';
    }
};
