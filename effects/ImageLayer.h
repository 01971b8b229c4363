#pragma once
// A picture in the effect's rectangle: one texture drawn as a quad in a unit
// orthographic projection (y grows downward, so the rectangle's y is measured
// from the top of the screen), with optional spinning, texture scrolling and
// a reveal mode. It can hold a list of textures and step through them.
//
// Only the EffectSwitcher makes these (five of them, one registered id); the
// layer owns one texture-manager reference per list entry and gives them all
// back when it is deleted.
//
// Signals (its own codes first, then the base table):
//   30   show the next texture of the list (wrapping); nothing on an empty list
//   31   text: load the texture and append it to the list
//   90   full-texture flag = (argument 1 != 0); when clear, a rectangle
//        growing toward its target reveals the picture instead of stretching it
//   110  text: load the texture, show it and append it to the list
//   210  scroll x, y = arguments 1, 2 (texture units per divisor ms)
//   211  scroll divisor = argument 1
//   212  rotation rates x, y, z = arguments 1, 2, 3 (degrees per speed ms)
// A name that does not load changes nothing. Textures come from the texture
// manager by their full name (e.g. "data/textures/logo.png").

#include "engine/Effect.h"

#include <vector>

class Texture;

class ImageLayer : public Effect {
public:
    ImageLayer();
    ~ImageLayer() override;

    void init(int time) override;
    void render(int time, bool applyRect) override;
    void signal(const SignalArgs& args) override;
    // The codes signal() understands.
    static const SignalTable& signals();

    Texture* currentTexture() const { return texture; }
    const std::vector<Texture*>& textureList() const { return textures; }
    int listCursor() const { return cursor; }

private:
    Texture* load(const char* name);

    Texture* texture = nullptr;       // shown texture; also an entry of the list
    std::vector<Texture*> textures;   // one manager reference per entry, may repeat
    int cursor = 0;                   // list entry last selected by signal 30
    float scrollX = 0.0f;             // texture units per scroll divisor ms
    float scrollY = 0.0f;
    int scrollDivisor = 1000;         // ms
    bool fullTexture = true;
    float angleX = 0.0f, angleY = 0.0f, angleZ = 0.0f; // degrees, from the last render
    float rateX = 0.0f, rateY = 0.0f, rateZ = 0.0f;    // degrees per `speed` ms of demo time
};
