#include "engine/KeyState.h"

void KeyState::keyDown(int vk)
{
    if (!valid(vk) || down[vk])
        return;
    consumed[vk] = false;
    pressedSinceFrame[vk] = true;
    // Every key down at this moment is held together with this one. Any
    // moment two keys are down begins with one of them going down.
    if (down.any()) {
        downWith[vk] |= down;
        rowsSet[vk] = true;
        for (int other = 0; other < kKeys; ++other) {
            if (down[other]) {
                downWith[other][vk] = true;
                rowsSet[other] = true;
            }
        }
    }
    down[vk] = true;
}

void KeyState::keyUp(int vk)
{
    if (!valid(vk))
        return;
    down[vk] = false;
    consumed[vk] = false;
}

void KeyState::frameRead()
{
    pressedSinceFrame.reset();
    if (rowsSet.none())
        return;
    for (int vk = 0; vk < kKeys; ++vk)
        if (rowsSet[vk])
            downWith[vk].reset();
    rowsSet.reset();
}

void KeyState::clear()
{
    down.reset();
    consumed.reset();
    rowsSet.set();
    frameRead();
}

bool KeyState::isDown(int vk) const
{
    return valid(vk) && (down[vk] || pressedSinceFrame[vk]);
}

bool KeyState::isPressedOnce(int vk) const
{
    return isDown(vk) && !consumed[vk];
}

void KeyState::setConsumed(int vk, bool flag)
{
    if (valid(vk))
        consumed[vk] = flag;
}

bool KeyState::heldTogether(int a, int b) const
{
    if (!valid(a) || !valid(b))
        return false;
    return (down[a] && down[b]) || downWith[a][b];
}
