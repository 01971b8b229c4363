// The cost of shadow maps per frame at 800 x 600: the production's spotlight
// stage (data/shadow.vsc) played by a scene effect inside the render target,
// as the show plays it, with and without shadow maps; the projector stage
// with and without its projector; and the positions-only pass alone, the
// part the light's depth map adds. Software rendering, no vertical sync.
//
// Run from the production folder under a display, once for each map target:
//   cd build/production && ../../scripts/with-display.sh ../tests/bench_shadow_bench
//   VP_HIDE_EXTENSIONS=WGL_NV_render_depth_texture ... (the copied texture)

#include "effects/RenderTargetLayer.h"
#include "engine/ClearScreen.h"
#include "engine/EffectManager.h"
#include "gl/GLExtensions.h"
#include "gl/PBufferManager.h"
#include "gl/TextureManager.h"
#include "platform/GLWindow.h"
#include "scene/Scene.h"
#include "scene/SceneEffect.h"
#include "scene/SceneManager.h"
#include "scene/SceneReader.h"
#include "support/Signals.h"

#include <GL/gl.h>
#include "support/BenchWindow.h"
#include <benchmark/benchmark.h>


namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

bool openShadowWindow()
{
    if (!openBenchWindow(kWidth, kHeight))
        return false;
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    return true;
}

enum class Kind { Plain, ShadowMaps, Projector };

// Layer 0 clears, layer 2 holds the wrapped scene effect; returns the scene.
SceneEffect* buildShow(const char* file, Kind kind)
{
    EffectManager* m = EffectManager::instance();
    auto* clear = new ClearScreen;
    m->registerEffect(0, clear);
    m->addToLayer(0, 0);
    auto* scene = new SceneEffect;
    auto* wrapper = new RenderTargetLayer(scene);
    m->registerEffect(25, wrapper);
    m->addToLayer(2, 25);
    wrapper->signal(sig(50, {}, file));
    wrapper->signal(sig(304, {1}));
    if (kind == Kind::ShadowMaps)
        wrapper->signal(sig(310, {1}));
    if (kind == Kind::Projector)
        wrapper->signal(sig(311, {1}));
    for (Effect* e : {static_cast<Effect*>(clear), static_cast<Effect*>(wrapper)}) {
        e->init(0);
        e->start();
    }
    return scene;
}

void BM_Frame(benchmark::State& state, const char* file, Kind kind)
{
    if (!openShadowWindow()) {
        state.SkipWithError("no GL window");
        return;
    }
    Effect::screenWidth = kWidth;
    Effect::screenHeight = kHeight;
    buildShow(file, kind);
    EffectManager* m = EffectManager::instance();
    int t = 0;
    for (int i = 0; i < 10; ++i, t += 20)
        m->renderFrame(t);
    glFinish();
    for (auto _ : state) {
        m->renderFrame(t);
        platform::swapBuffers();
        glFinish();
        t += 20;
    }
    state.counters["depth_buffer"] = isExtensionSupported("WGL_NV_render_depth_texture") ? 1 : 0;
    m->deleteAll();
    EffectManager::deleteInstance();
    SceneManager::getInstance()->releaseAll();
    TextureManager::getInstance()->releaseAll();
}

// The scene's positions only through its camera, into the window: what the
// light's pass draws (without the copy or the buffer switch).
void BM_PositionsOnly(benchmark::State& state)
{
    if (!openShadowWindow()) {
        state.SkipWithError("no GL window");
        return;
    }
    SceneReader reader;
    Scene* scene = reader.load("data/shadow.vsc", "data/textures/");
    if (!scene) {
        state.SkipWithError("run from the production folder");
        return;
    }
    scene->setTime(0.0f);
    scene->animate();
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    for (auto _ : state) {
        glClear(GL_DEPTH_BUFFER_BIT);
        scene->drawGeometryOnly();
        glFinish();
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    SceneManager::getInstance()->releaseAll();
}

} // namespace

BENCHMARK_CAPTURE(BM_Frame, spot_stage_plain, "data/shadow.vsc", Kind::Plain)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, spot_stage_shadowed, "data/shadow.vsc", Kind::ShadowMaps)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, projector_stage_plain, "data/projector.vsc", Kind::Plain)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, projector_stage_projected, "data/projector.vsc", Kind::Projector)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PositionsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
