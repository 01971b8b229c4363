#pragma once
// Presses of three neighbouring keys (codes first, first + 1, first + 2),
// counted from the window's key messages: each press counts once however
// long the key is held (auto-repeat's extra key-downs do not add), and a
// press and release between two frames still counts.

#include "platform/GLWindow.h"

class KeyPresses {
public:
    explicit KeyPresses(int firstKey) : first(firstKey) {}

    void onMessage(const WindowMessage& msg)
    {
        if (msg.type != MessageType::KeyDown && msg.type != MessageType::KeyUp)
            return;
        const int index = msg.param1 - first;
        if (index < 0 || index > 2)
            return;
        if (msg.type == MessageType::KeyUp) {
            held[index] = false;
        } else if (!held[index]) {
            held[index] = true;
            ++count[index];
        }
    }

    // Presses of key first + index since the last clear.
    int operator[](int index) const { return count[index]; }
    bool any() const { return count[0] || count[1] || count[2]; }
    void clear() { count[0] = count[1] = count[2] = 0; }

private:
    int first;
    int count[3] = {};
    bool held[3] = {};
};
