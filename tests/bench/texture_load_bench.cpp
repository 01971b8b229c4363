// Loading the production's textures: 50 PNG files of 512x512 decoded,
// widened, scaled and mipmapped, as a full build does, and each step alone to
// see where the time goes.
//
// Run under a display: scripts/with-display.sh build/tests/bench_texture_load_bench

#include "gl/GLExtensions.h"
#include "gl/Image.h"
#include "gl/Texture.h"
#include "platform/GLWindow.h"
#include "support/ImageFiles.h"

#include <GL/glu.h>
#include "support/BenchWindow.h"
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace testimages;

namespace {

constexpr int kFiles = 50;
constexpr int kSide = 512;

// A hidden window with a current context and 50 picture files, made once.
struct Fixture {
    Fixture()
    {
        ready = openBenchWindow(64, 64);
        if (!ready)
            return;
        // Smooth shapes with a little grain, like painted textures: neither
        // flat (which would compress to nothing) nor pure noise.
        for (int i = 0; i < kFiles; ++i) {
            std::vector<unsigned char> rgb(size_t(kSide) * kSide * 3);
            unsigned seed = 12345u + unsigned(i);
            for (int y = 0; y < kSide; ++y)
                for (int x = 0; x < kSide; ++x) {
                    seed = seed * 214013u + 2531011u;
                    int grain = int((seed >> 16) & 15) - 8;
                    unsigned char* p = &rgb[size_t(y * kSide + x) * 3];
                    double wave = std::sin((x + i * 7) * 0.03) * std::cos(y * 0.02 + i);
                    p[0] = static_cast<unsigned char>(std::clamp(128 + int(100 * wave) + grain, 0, 255));
                    p[1] = static_cast<unsigned char>(std::clamp((x ^ y) / 4 + grain + i, 0, 255));
                    p[2] = static_cast<unsigned char>(std::clamp(y / 2 + grain, 0, 255));
                }
            names.push_back("tex" + std::to_string(i) + ".png");
            writeBytes(dir.path(names.back()), encodePngRgb(kSide, kSide, rgb, false));
        }
    }
    ScratchDir dir;
    std::vector<std::string> names;
    bool ready = false;
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

Image* copyOf(const Image& source)
{
    Image* image = new Image;
    image->width = source.width;
    image->height = source.height;
    image->bitsPerPixel = source.bitsPerPixel;
    size_t bytes = size_t(source.width) * source.height * size_t(source.bitsPerPixel / 8);
    image->pixels = static_cast<unsigned char*>(std::malloc(bytes));
    std::memcpy(image->pixels, source.pixels, bytes);
    return image;
}

void BM_LoadFiftyTextures(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no GL context");
        return;
    }
    for (auto _ : state) {
        std::vector<std::unique_ptr<Texture>> textures;
        for (const std::string& name : f.names)
            textures.emplace_back(Texture::createTextureFromFile(name.c_str(), f.dir.prefix().c_str(), GL_TEXTURE_2D));
        glFinish();
    }
}
BENCHMARK(BM_LoadFiftyTextures)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_DecodeFiftyPngs(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        for (const std::string& name : f.names)
            delete loadImage(name.c_str(), f.dir.prefix().c_str());
}
BENCHMARK(BM_DecodeFiftyPngs)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_WidenFiftyImages(benchmark::State& state)
{
    Fixture& f = fixture();
    std::unique_ptr<Image> source(loadImage(f.names[0].c_str(), f.dir.prefix().c_str()));
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i) {
            std::unique_ptr<Image> image(copyOf(*source));
            convertTo32(image.get());
            benchmark::DoNotOptimize(image->pixels);
        }
    }
}
BENCHMARK(BM_WidenFiftyImages)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The scaling step, for pictures that are not already a power of two (500x500
// becomes 512x512).
void BM_RescaleFiftyImages(benchmark::State& state)
{
    Fixture& f = fixture();
    std::unique_ptr<Image> source(loadImage(f.names[0].c_str(), f.dir.prefix().c_str()));
    convertTo32(source.get());
    rescale(source.get(), 500, 500);
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i) {
            std::unique_ptr<Image> image(copyOf(*source));
            rescale(image.get(), kSide, kSide);
            benchmark::DoNotOptimize(image->pixels);
        }
    }
}
BENCHMARK(BM_RescaleFiftyImages)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The two ways of building the mipmap chain of one texture, times 50.
void BM_MipmapsWithGlu(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready) {
        state.SkipWithError("no GL context");
        return;
    }
    std::unique_ptr<Image> image(loadImage(f.names[0].c_str(), f.dir.prefix().c_str()));
    convertTo32(image.get());
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i)
            gluBuild2DMipmaps(GL_TEXTURE_2D, 4, kSide, kSide, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
        glFinish();
    }
    glDeleteTextures(1, &texture);
}
BENCHMARK(BM_MipmapsWithGlu)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_MipmapsOnTheGlSide(benchmark::State& state)
{
    Fixture& f = fixture();
    if (!f.ready || !glext::glGenerateMipmap) {
        state.SkipWithError("no GL context or no glGenerateMipmap");
        return;
    }
    std::unique_ptr<Image> image(loadImage(f.names[0].c_str(), f.dir.prefix().c_str()));
    convertTo32(image.get());
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (auto _ : state) {
        for (int i = 0; i < kFiles; ++i) {
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kSide, kSide, 0, GL_RGBA, GL_UNSIGNED_BYTE, image->pixels);
            glext::glGenerateMipmap(GL_TEXTURE_2D);
        }
        glFinish();
    }
    glDeleteTextures(1, &texture);
}
BENCHMARK(BM_MipmapsOnTheGlSide)->Unit(benchmark::kMillisecond)->MinTime(3.0);

} // namespace
