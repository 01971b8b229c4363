#pragma once
// The production's effects: constructs every effect class under its fixed id
// and registers it with the EffectManager, in the order of one table. The
// order is also the order in which constructors load their data.

#include "engine/EffectFactory.h"

class Effect;
struct SignalTable;

class DemoEffects : public EffectFactory {
public:
    void createEffects(bool atiShadows) override;

    struct Entry {
        int id;
        Effect* (*create)();
        // Drawn through the shared render target (a RenderTargetLayer owns the
        // effect and is registered in its place) unless ATI shadows are asked
        // for on a driver without depth-texture render targets.
        bool wrapped;
        // The signal codes the effect understands (a wrapped one also takes
        // the render target's own, RenderTargetLayer::signals).
        const SignalTable& (*signals)();
    };
    // The registration table, in construction order.
    static const Entry* table(int& count);

    // Whether the entries marked `wrapped` go inside a RenderTargetLayer:
    // always, except when ATI shadows are asked for and the driver cannot
    // render depth into a bindable texture ("WGL_NV_render_depth_texture").
    static bool wrapsInRenderTarget(bool atiShadows, bool depthRenderTexture);
    // Constructs one entry's effect, inside a RenderTargetLayer when the entry
    // is wrapped and `wrap` is set. None when an allocation fails.
    static Effect* build(const Entry& entry, bool wrap);
};
