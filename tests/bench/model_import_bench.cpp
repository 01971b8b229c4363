// Importing a real glTF binary of 110,336 triangles in 158 nodes (the
// two-cylinder engine of the Open Asset Import Library's test models) from
// the file to the scene file's bytes: reading, welding, smoothing groups,
// transforms. The whole vpimport run takes little more than this.
//
//   build/tests/bench_model_import_bench

#include "tools/vpimport/ModelReader.h"
#include "tools/vpimport/SceneConversion.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* kModel = "/usr/share/assimp/models/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb";

void BM_ImportGltfBinary(benchmark::State& state)
{
    size_t faces = 0;
    for (auto _ : state) {
        Assimp::Importer importer;
        std::string error;
        const aiScene* scene = readModel(importer, kModel, error);
        if (!scene) {
            state.SkipWithError(("cannot read the model: " + error).c_str());
            return;
        }
        TextureExport textures(*scene, ".", "bench");
        SceneWriter writer;
        ImportSummary summary;
        ImportOptions options;
        options.scale = 0.01f;
        if (!convertScene(*scene, options, "glb", textures, writer, summary, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        std::vector<unsigned char> bytes = writer.toBytes();
        benchmark::DoNotOptimize(bytes.data());
        faces = summary.faces;
    }
    state.counters["triangles"] = double(faces);
}
BENCHMARK(BM_ImportGltfBinary)->Unit(benchmark::kMillisecond);

} // namespace
