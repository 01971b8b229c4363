#pragma once
// A signal as a script line sends it to an effect: its code, its numeric
// arguments, its text and the time offset its start times count from.
//
//     effect.signal(sig(70, {1}));
//     effect.signal(sig(50, {}, "data/scene.vsc"));

#include "engine/SignalArgs.h"

#include <initializer_list>
#include <string>

inline SignalArgs sig(int code, std::initializer_list<int> values = {}, const std::string& text = "",
                      int timeOffset = 0)
{
    SignalArgs s;
    s.code = code;
    for (int v : values)
        s.addArg(v);
    s.setText(text.c_str(), text.size());
    s.timeOffset = timeOffset;
    return s;
}
