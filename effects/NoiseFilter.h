#pragma once
// A full-screen film of random grey noise (effect id 44); it needs no source.
//
// Four 512 x 512 noise textures ("noise1" to "noise4") are filled once at
// construction, and the current one is drawn over the frame with the
// effect's colour and alpha (plus the flash's extra alpha). While animated,
// each render computes one quarter of a fresh image into the spare texture
// ("noise5"), rows 128, 256, 384 and then 0, and moves on to the next slot; on
// the fourth frame the completed spare takes the place of the current slot's
// texture. So the picture changes in three of every four frames and no
// texture is ever rebuilt in one go.
//
// Signals: 90 animated flag, 91 flash scale (argument x 0.00001), 402 flash:
// extra alpha = argument squared x flash scale, kept until the next 402 or
// init.

#include "engine/Effect.h"

class Texture;

class NoiseFilter : public Effect {
public:
    static constexpr int kNoiseSize = 512;  // texture side, pixels
    static constexpr int kSlotCount = 4;

    NoiseFilter();
    ~NoiseFilter() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    Texture* currentTexture() const { return current; }
    int currentSlot() const { return slot; }
    Texture* slotTexture(int i) const { return slots[i]; }
    Texture* spareTexture() const { return spare; }

    bool animated = false;
    float flashScale = 1.0f;
    float extraAlpha = 0.0f;  // added to the effect's alpha

private:
    // One generation step: the whole image into the current slot (animated
    // clear) or the next quarter into the spare (animated set).
    void generate();

    Texture* slots[kSlotCount] = {};
    Texture* spare = nullptr;
    Texture* current = nullptr;
    int slot = 0;
    unsigned char* pixels = nullptr;  // kNoiseSize^2 RGBA pixels, owned
    int fillPosition = 0;             // pixel index of the quarter being filled
    int fillRow = 0;
};
