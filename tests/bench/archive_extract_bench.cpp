// Extracting one large compressed member (20 MB of mixed scene-like records,
// incompressible texture-like bytes and script text) with the engine's reader,
// side by side with unar extracting the same member from the same archive.
// The archive is written once by vpdpack (beside the benchmark's build tree).
//
//   build/tests/bench_archive_extract_bench

#include "resources/ArchiveReader.h"

#include <benchmark/benchmark.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Archive {
    std::string dir;
    std::string path;
    size_t size = 0;
    bool ok = false;
};

std::string buildDir()
{
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string path = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string("./bench");
    return path.substr(0, path.rfind('/')) + "/..";
}

const Archive& archive()
{
    static Archive a = [] {
        Archive r;
        r.dir = "/tmp/vp_archive_bench_" + std::to_string(getpid());
        std::atexit([] { (void)std::system(("rm -rf /tmp/vp_archive_bench_" + std::to_string(getpid())).c_str()); });
        std::string mkdir = "mkdir -p " + r.dir + "/data";
        if (std::system(mkdir.c_str()) != 0)
            return r;
        std::vector<unsigned char> data;
        uint32_t seed = 1;
        auto rnd = [&seed] {
            seed = seed * 214013u + 2531011u;
            return (seed >> 16) & 0x7FFF;
        };
        while (data.size() < 20u << 20) {
            // 1 MB of vertex records, 256 KB of noise, 128 KB of text.
            for (int i = 0; i < 32768; ++i) {
                float v[8] = {std::sin(i * 0.01f) * 10, std::cos(i * 0.013f) * 5, (i % 100) * 0.1f,
                              0, 1, 0, (i % 64) / 64.0f, static_cast<float>(rnd() % 64) / 64.0f};
                const unsigned char* p = reinterpret_cast<const unsigned char*>(v);
                data.insert(data.end(), p, p + sizeof v);
            }
            for (int i = 0; i < 262144; ++i)
                data.push_back(static_cast<unsigned char>(rnd()));
            for (int t = 0; t < 131072;) {
                char line[96];
                int n = std::snprintf(line, sizeof line, "%d s %u 206 %u %u 480\r\n", t * 480, rnd() % 24,
                                      rnd() % 256, rnd() % 256);
                data.insert(data.end(), line, line + n);
                t += n;
            }
        }
        r.size = data.size();
        FILE* f = std::fopen((r.dir + "/data/mixed.bin").c_str(), "wb");
        if (!f)
            return r;
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
        std::string pack = "cd " + r.dir + " && " + buildDir() + "/vpdpack a data.vpd data/mixed.bin -p tavex";
        r.ok = std::system(pack.c_str()) == 0;
        r.path = r.dir + "/data.vpd";
        return r;
    }();
    return a;
}

void BM_extractMember(benchmark::State& state)
{
    const Archive& a = archive();
    if (!a.ok) {
        state.SkipWithError("could not write the archive");
        return;
    }
    for (auto _ : state) {
        unsigned char* data = nullptr;
        uint32_t size = 0;
        if (extractMember(a.path.c_str(), "data/mixed.bin", "tavex", &data, &size) != 1) {
            state.SkipWithError("extraction failed");
            break;
        }
        benchmark::DoNotOptimize(data);
        std::free(data);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(a.size));
}
BENCHMARK(BM_extractMember)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// unar writes the member to a scratch folder (on tmpfs where /tmp is one).
void BM_unar(benchmark::State& state)
{
    const Archive& a = archive();
    if (!a.ok) {
        state.SkipWithError("could not write the archive");
        return;
    }
    std::string command = "unar -q -f -p tavex -o " + a.dir + "/out " + a.path + " >/dev/null 2>&1";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("unar failed (is the unar package installed?)");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(a.size));
}
BENCHMARK(BM_unar)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace
