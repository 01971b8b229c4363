#pragma once
// Builds every effect of the production and registers it with the
// EffectManager under its fixed id. The demo run creates one factory per full
// build (and again on every reload).

class EffectFactory {
public:
    virtual ~EffectFactory() = default;
    virtual void createEffects(bool atiShadows) = 0;
};
