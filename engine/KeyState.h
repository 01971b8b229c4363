#pragma once
// The keyboard as the frames read it, made from the window's key messages.
//
// A key counts as down while it is held, and also for the first frame after
// it went down: a quick tap, pressed and released between two frames of a
// slow renderer, is not lost. Only a key's own press earns it that frame; a
// key that merely stays held while another goes down earns nothing, so a key
// already acknowledged is not seen as pressed again when it is let go.
//
// Two keys are held together when, at some moment since the frame before,
// both were down at once: a combination whose keys are let go before the
// next frame still counts, two taps one after the other do not.
//
// A press acknowledged with setConsumed stays acknowledged until the key is
// let go. A key-down for a key already down (the keyboard repeating it) is no
// new press.

#include <bitset>

class KeyState {
public:
    static constexpr int kKeys = 256; // virtual-key codes 0 to 255

    void keyDown(int vk);
    void keyUp(int vk);
    // The frame has read the keys: the presses kept for it are over.
    void frameRead();
    void clear();

    // Codes outside 0 to 255 are never down and cannot be acknowledged.
    bool isDown(int vk) const;
    bool isPressedOnce(int vk) const;
    void setConsumed(int vk, bool flag);
    bool heldTogether(int a, int b) const;

private:
    static bool valid(int vk) { return vk >= 0 && vk < kKeys; }

    std::bitset<kKeys> down;
    std::bitset<kKeys> consumed;
    std::bitset<kKeys> pressedSinceFrame;
    // For each key, the keys that were down with it at one moment since the
    // frame before; only the rows of pressedSinceFrame and of the keys held
    // at those presses are ever set.
    std::bitset<kKeys> downWith[kKeys];
    std::bitset<kKeys> rowsSet;
};
