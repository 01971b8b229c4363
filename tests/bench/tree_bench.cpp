// The tree's cost per frame: it is grown again on every draw. Measured with
// the production's parameter file (production/data/tree2.arb under the
// working folder; the tests' three-level tree when it is missing):
//   - the generation alone through a counting draw path (no GL);
//   - the tree object's draw in immediate mode at 800 x 600, finished on
//     the GPU (software rendering), fully grown and swaying.
//
// Run from the build folder, under a display:
//   cd build && ../scripts/with-display.sh tests/bench_tree_bench

#include "effects/TreeGenerator.h"
#include "effects/TreeObject.h"
#include "effects/TreeParameters.h"
#include "gl/GLExtensions.h"
#include "platform/GLWindow.h"
#include "resources/VFile.h"

#include "support/TreeSupport.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include "support/BenchWindow.h"
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr const char* kProductionTree = "production/data/tree2.arb";
constexpr const char* kFallbackTree = "tree_bench_fallback.arb";

// The file the benchmarks read: the production's, else the tests' tree.
const char* treeFile()
{
    static const char* name = [] {
        VFile probe;
        if (vfopen(kProductionTree, &probe))
            return kProductionTree;
        std::FILE* f = std::fopen(kFallbackTree, "wb");
        for (const char* c = kTreeFile; f && *c; ++c) {
            if (*c == '\n')
                std::fputc('\r', f);
            std::fputc(*c, f);
        }
        if (f)
            std::fclose(f);
        return kFallbackTree;
    }();
    return name;
}

class CountingPath : public TreeDrawPath {
public:
    long vertices = 0;
    void pushMatrix() override {}
    void popMatrix() override {}
    void translate(float, float, float) override {}
    void rotate(float, float, float, float) override {}
    void beginQuads() override {}
    void grey(float) override {}
    void normal(float, float, float) override {}
    void vertex(float, float, float) override { ++vertices; }
    void endQuads() override {}
};

void BM_GenerateOnly(benchmark::State& state)
{
    TreeParameters p;
    VFile file;
    if (!vfopen(treeFile(), &file)) {
        state.SkipWithError("no tree file");
        return;
    }
    readTreeParameters(file, p);
    CountingPath path;
    int branches = 0;
    for (auto _ : state) {
        path.vertices = 0;
        TreeGenerator g(p, 1.0f, 120.0f, path);
        g.generate();
        branches = g.getBranchCount();
        benchmark::DoNotOptimize(path.vertices);
    }
    state.counters["branches"] = branches;
    state.counters["quads"] = double(path.vertices / 4);
}
BENCHMARK(BM_GenerateOnly)->Unit(benchmark::kMicrosecond);

void drawFrames(benchmark::State& state, bool withTree)
{
    if (!openBenchWindow(800, 600)) {
        state.SkipWithError("no GL window");
        return;
    }
    auto tree = std::make_unique<TreeObject>(998, "tree", treeFile());
    tree->setGrowth(1.0f);
    tree->setSwayTime(120.0f);
    const GLfloat lightPosition[4] = {20.0f, 30.0f, 30.0f, 1.0f};
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(45.0, 800.0 / 600.0, 1.0, 200.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0, 5, 24, 0, 3.5, 0, 0, 1, 0);
        glEnable(GL_LIGHT0);
        glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
        glEnable(GL_DEPTH_TEST);
        if (withTree)
            tree->draw();
        glFinish();
    }
}

void BM_DrawTreeFrame(benchmark::State& state)
{
    drawFrames(state, true);
}
BENCHMARK(BM_DrawTreeFrame)->Unit(benchmark::kMicrosecond);

// The same frame without the tree, for reference.
void BM_EmptyFrame(benchmark::State& state)
{
    drawFrames(state, false);
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);

} // namespace
