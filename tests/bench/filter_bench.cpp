// The cost of each picture filter per frame at 800 x 600: one frame of the
// layer pass (layer 0 cleared, the source, the filter) finished on the GPU,
// against the same frame with the source alone. Software rendering, no
// vertical sync.
//
// Run under a display: scripts/with-display.sh build/tests/bench_filter_bench

#include "effects/AnsiFilter.h"
#include "effects/GlowFilter.h"
#include "effects/MotionBlurFilter.h"
#include "effects/NoiseFilter.h"
#include "effects/RadialBlurFilter.h"
#include "effects/RenderTargetLayer.h"
#include "engine/ClearScreen.h"
#include "engine/EffectManager.h"
#include "gl/GLExtensions.h"
#include "gl/PBufferManager.h"
#include "gl/TextureManager.h"
#include "platform/GLWindow.h"
#include "support/Signals.h"

#include <GL/gl.h>
#include "support/BenchWindow.h"
#include <benchmark/benchmark.h>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// A few flat shapes, moving with time, over the whole viewport.
class Shapes : public Effect {
public:
    void init(int time) override { initBase(time); }
    void render(int time, bool applyRect) override
    {
        update(time, applyRect);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        float dx = static_cast<float>(localTime % 2000) / 4000.0f;
        quad(0.0f, 0.0f, 0.3f, 1.0f, 0.9f, 0.1f, 0.1f);
        quad(0.3f, 0.0f, 1.0f, 0.25f, 0.1f, 0.8f, 0.2f);
        quad(0.2f + dx, 0.5f, 0.45f + dx, 0.8f, 1.0f, 1.0f, 1.0f);
        glColor4f(1, 1, 1, 1);
    }
    static void quad(float x0, float y0, float x1, float y1, float r, float g, float b)
    {
        glColor3f(r, g, b);
        glBegin(GL_QUADS);
        glVertex2f(x0, y0);
        glVertex2f(x1, y0);
        glVertex2f(x1, y1);
        glVertex2f(x0, y1);
        glEnd();
    }
};

enum class Kind { SourceOnly, Glow, MotionBlur, MotionBlurEveryFrame, RadialBlur, Ansi, Noise, NoiseAnimated,
                  RenderTarget };

// Builds layer 0 (clear), the source on layer 1 where the filter does not
// draw it itself, and the filter on layer 2; returns the filter.
void buildShow(Kind kind)
{
    EffectManager* m = EffectManager::instance();
    auto* clear = new ClearScreen;
    m->registerEffect(0, clear);
    m->addToLayer(0, 0);
    auto* shapes = new Shapes;
    m->registerEffect(1, shapes);

    Effect* filter = nullptr;
    bool sourceOnLayer = true;
    switch (kind) {
    case Kind::SourceOnly: break;
    case Kind::Glow: filter = new GlowFilter; break;
    case Kind::MotionBlur:
    case Kind::MotionBlurEveryFrame: filter = new MotionBlurFilter; sourceOnLayer = false; break;
    case Kind::RadialBlur: filter = new RadialBlurFilter; sourceOnLayer = false; break;
    case Kind::Ansi: filter = new AnsiFilter; sourceOnLayer = false; break;
    case Kind::Noise:
    case Kind::NoiseAnimated: filter = new NoiseFilter; break;
    case Kind::RenderTarget:
        m->registerEffect(1, nullptr);
        filter = new RenderTargetLayer(shapes);
        sourceOnLayer = false;
        break;
    }
    if (sourceOnLayer)
        m->addToLayer(1, 1);
    for (Effect* e : {static_cast<Effect*>(clear), static_cast<Effect*>(shapes)}) {
        e->init(0);
        e->start();
    }
    if (filter) {
        m->registerEffect(40, filter);
        m->addToLayer(2, 40);
        filter->init(0);
        if (kind != Kind::RenderTarget && kind != Kind::Noise && kind != Kind::NoiseAnimated)
            filter->signal(sig(70, {1}));
        if (kind == Kind::MotionBlurEveryFrame)
            filter->signal(sig(90, {1}));
        if (kind == Kind::NoiseAnimated)
            filter->signal(sig(90, {1}));
        filter->start();
    }
}

void BM_Frame(benchmark::State& state, Kind kind)
{
    if (!openBenchWindow(kWidth, kHeight)) {
        state.SkipWithError("no GL window");
        return;
    }
    Effect::screenWidth = kWidth;
    Effect::screenHeight = kHeight;
    buildShow(kind);
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
    m->deleteAll();
    EffectManager::deleteInstance();
    TextureManager::getInstance()->releaseAll();
}

} // namespace

BENCHMARK_CAPTURE(BM_Frame, source_only, Kind::SourceOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, glow, Kind::Glow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, motion_blur, Kind::MotionBlur)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, motion_blur_every_frame, Kind::MotionBlurEveryFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, radial_blur, Kind::RadialBlur)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, ansi, Kind::Ansi)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, noise, Kind::Noise)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, noise_animated, Kind::NoiseAnimated)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Frame, render_target, Kind::RenderTarget)->Unit(benchmark::kMillisecond)->UseRealTime();

// References for reading the figures above: one copy of the back buffer's
// corner square into a texture (what every capture costs), and one textured
// full-screen quad, plain and added (what every copy a filter draws costs).
namespace {

void BM_CaptureCopy(benchmark::State& state)
{
    if (!openBenchWindow(kWidth, kHeight)) {
        state.SkipWithError("no GL window");
        return;
    }
    const int size = static_cast<int>(state.range(0));
    Texture* target = TextureManager::getInstance()->getRenderTexture("bench", size, size, GL_TEXTURE_2D, GL_RGBA);
    glBindTexture(GL_TEXTURE_2D, target->textureId);
    for (auto _ : state) {
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, size, size);
        glFinish();
    }
    TextureManager::getInstance()->release(target);
}

void BM_TexturedQuad(benchmark::State& state)
{
    if (!openBenchWindow(kWidth, kHeight)) {
        state.SkipWithError("no GL window");
        return;
    }
    Texture* texture = TextureManager::getInstance()->getRenderTexture("bench", 512, 512, GL_TEXTURE_2D, GL_RGBA);
    glViewport(0, 0, kWidth, kHeight);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glEnable(GL_TEXTURE_2D);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    if (state.range(0)) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    }
    for (auto _ : state) {
        Shapes::quad(0, 0, 1, 1, 1, 1, 1);
        glFinish();
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    TextureManager::getInstance()->release(texture);
}

} // namespace

BENCHMARK(BM_CaptureCopy)->Arg(128)->Arg(256)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TexturedQuad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
