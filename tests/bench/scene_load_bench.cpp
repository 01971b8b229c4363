// Loading a scene of 200,000 triangles written by the scene writer: reading,
// prepare (smoothing-group normals) and link (materials and the draw arrays).
// The production's scenes are loaded while effects are built, so this bounds
// the pause before the show starts. Prepare must grow linearly with the face
// count; BM_MeshPrepare reports its complexity.
//
//   build/tests/bench_scene_load_bench

#include "scene/Mesh.h"
#include "scene/Scene.h"
#include "scene/SceneManager.h"
#include "scene/SceneReader.h"
#include "tools/scenewriter/MeshShapes.h"
#include "tools/scenewriter/SceneWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// A grid of cellsX x cellsZ cells (two triangles each) with both coordinate
// sets under one material, and a camera.
SceneWriter makeScene(int cellsX, int cellsZ)
{
    SceneWriter w;
    w.addMaterial(1, "ground");
    MeshRecord& grid = w.addMesh(1, "Ground");
    addGrid(grid, 1000.0f, 1000.0f, cellsX, cellsZ, 1);
    // Mixed smoothing groups, so prepare does more than one group per vertex.
    for (size_t i = 0; i < grid.faces.size(); ++i)
        grid.faces[i].smoothingGroups = (i % 7 == 0) ? 0x3u : 1u << (i % 3);
    w.addCamera(2, "Camera01", Vec3(0, 300, 800), 45.0f, 1);
    return w;
}

struct SceneOnDisk {
    std::string path = "scene_load_bench." + std::to_string(getpid()) + ".vsc";
    explicit SceneOnDisk(const SceneWriter& w) { w.writeFile(path.c_str()); }
    ~SceneOnDisk() { std::remove(path.c_str()); }
};

void BM_LoadScene200k(benchmark::State& state)
{
    SceneOnDisk file(makeScene(400, 250)); // 200,000 triangles
    for (auto _ : state) {
        SceneReader reader;
        Scene* scene = reader.load(file.path.c_str(), "");
        benchmark::DoNotOptimize(scene);
        SceneManager::getInstance()->release(scene);
    }
    state.counters["triangles"] = 200000;
}
BENCHMARK(BM_LoadScene200k)->Unit(benchmark::kMillisecond);

void BM_MeshPrepare(benchmark::State& state)
{
    int cells = int(state.range(0));
    SceneWriter w = makeScene(cells, cells);
    SceneOnDisk file(w);
    SceneReader reader;
    Scene* scene = reader.load(file.path.c_str(), "");
    Mesh* mesh = static_cast<Mesh*>(scene->findById(1));
    for (auto _ : state)
        mesh->prepare();
    state.SetComplexityN(mesh->getFaceCount());
    SceneManager::getInstance()->release(scene);
}
BENCHMARK(BM_MeshPrepare)->Arg(50)->Arg(100)->Arg(200)->Arg(400)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

} // namespace
