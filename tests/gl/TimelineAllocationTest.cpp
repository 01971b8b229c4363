// Playing a script must not touch the heap: every frame of a running show is
// counted through the replaced global allocation functions of this test
// program (they count only while a window is open, so the rest of the suite
// is unaffected).

#include "app/DemoEffects.h"
#include "engine/Logging.h"
#include "gl/TextureManager.h"

#include "effects/RenderTargetLayer.h"

#include "support/FilterRig.h"
#include "support/ImageFiles.h"
#include "support/PlayerRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <unistd.h>

// The replaced forms pair malloc with free on purpose; gcc cannot see that
// every form is replaced together.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

} // namespace

// Every plain form is replaced, so that a sanitizer's own allocator never
// frees what malloc gave (the aligned forms are left alone, in pairs).
void* operator new(std::size_t size)
{
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Every registered effect at work, with events all through the counted frames:
// clear colours, a pattern-driven flash with pattern changes, fades, layer
// assignments and restarts of effects.
const char* const kShow = "DEMOSTART 1000\n"
                          "SETUP\n"
                          "0 l 0 0\n"
                          "0 l 3 1\n"
                          "0 l 63 2\n"
                          "0 l 62 3\n"
                          "0 s 3 70 63\n"
                          "0 s 3 405 120\n"
                          "TIMELINE\n"
                          "1000 START 0\n"
                          "1000 START 3\n"
                          "1000 s 63 8 0\n"
                          "1000 s 3 406 p1201\n"
                          "1000 START 62\n"
                          "1000 s 62 4 3000\n"
                          "2000 s 0 200 40 0 80\n"
                          "2500 s 0 205 0 80 40 2500 1000 3\n"
                          "3000 s 3 406 p10203040506070809010203040506070809\n"
                          "3500 s 62 3 6000\n"
                          "4000 l 12 4\n"
                          "4000 START 12\n"
                          "4500 s 63 206 255 200 100 255 4500 500 4 10 90\n"
                          "5000 INIT 3\n"
                          "5500 s 63 2 300\n"
                          "6000 END 12\n"
                          "6500 s 62 6 500\n"
                          "7000 s 3 12 1 7000\n"
                          "7500 s 3 12 0 7500\n"
                          "8000 END_DEMO\n";

// Every filter at work over flat sources, one of them wrapped in the render
// target: glow-only captures, motion trails every frame, animated noise with
// flashes, a rotating radial blur, the block filter and a shaking, turning
// wrapper.
const char* const kFilterShow = "DEMOSTART 1000\n"
                                "SETUP\n"
                                "0 l 0 0\n"
                                "0 l 90 1\n"
                                "0 l 91 1\n"
                                "0 l 43 2\n"
                                "0 l 42 3\n"
                                "0 l 41 4\n"
                                "0 l 40 5\n"
                                "0 l 44 6\n"
                                "0 s 43 70 91\n"
                                "0 s 42 70 90\n"
                                "0 s 41 70 91\n"
                                "0 s 40 70 90\n"
                                "TIMELINE\n"
                                "1000 START 0\n"
                                "1000 START 90\n"
                                "1000 START 91\n"
                                "1000 START 40\n"
                                "1000 START 41\n"
                                "1000 START 42\n"
                                "1000 START 43\n"
                                "1000 START 44\n"
                                "1000 s 43 92 1\n"
                                "1000 s 42 90 1\n"
                                "1000 s 44 90 1\n"
                                "1000 s 41 94 1 100 500\n"
                                "1000 s 90 91 3000 100 2000\n"
                                "1500 s 90 407 1500 110\n"
                                "2000 s 44 402 1\n"
                                "2500 s 44 402 0\n"
                                "3000 s 90 500 0 0 0 0 0 90 3000 2000\n"
                                "3500 s 43 93 0 0 10 10 3500 1000\n"
                                "3700 s 42 95 0\n"
                                "3900 s 40 90 200\n"
                                "4100 END_DEMO\n";

class TimelineAllocation : public PlayerRig {
protected:
    // Plays frames of 20 ms from `from` on and returns how many allocations
    // the frames after the first `warmUp` of them made.
    long countFrames(int from, int warmUp, int counted)
    {
        int t = from;
        for (int i = 0; i < warmUp; ++i, t += 20)
            frameAt(t);
        allocations = 0;
        counting = true;
        for (int i = 0; i < counted; ++i, t += 20)
            frameAt(t);
        counting = false;
        return allocations.load();
    }
};

} // namespace

TEST_F(TimelineAllocation, PlayingAScriptAllocatesNothingPerFrame)
{
    DemoEffects factory;
    factory.createEffects(false);
    source.addFile("data/testscript.scr", kShow);
    player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
    restart();

    EXPECT_EQ(countFrames(1000, 10, 360), 0);
    EXPECT_EQ(player->eventsDelivered(), 20u);
    EXPECT_TRUE(player->quitRequested());

    // The same with the frame statistics on (a line per 100 frames).
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("vp_alloc_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    setLoggingEnabled(true);
    restart();
    EXPECT_EQ(countFrames(1000, 10, 360), 0);
    player.reset();
    setLoggingEnabled(false);
    std::ifstream stats(dir / "vp_profiling.txt");
    std::string first;
    std::getline(stats, first);
    EXPECT_EQ(first.rfind("fps: ", 0), 0u) << first;
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
}

// The forcefield, the switcher's image layers (spinning, scrolling, stepping
// through a list, revealing), invert flashes and the key controller with an
// arrow held.
TEST_F(TimelineAllocation, GeneratedEffectsAllocateNothingPerFrame)
{
    testimages::ScratchDir scratch;
    std::vector<unsigned char> rgb(64 * 64 * 3, 200);
    std::string picture = scratch.path("p.png");
    ASSERT_TRUE(testimages::writeBytes(picture, testimages::encodePngRgb(64, 64, rgb, false)));

    DemoEffects factory;
    factory.createEffects(false);
    std::string show = "DEMOSTART 1000\n"
                       "SETUP\n"
                       "0 l 6 1\n"
                       "0 l 50 2\n"
                       "0 l 1 3\n"
                       "0 l 61 4\n"
                       "0 s 61 90 300\n"
                       "0 s 6 90 90\n"
                       "0 s 1 70 6\n"
                       "0 s 50 99 1\n"
                       "0 s 50 110 " + picture + "\n"
                       "0 s 50 31 " + picture + "\n"
                       "0 s 50 99 2\n"
                       "0 s 50 110 " + picture + "\n"
                       "TIMELINE\n"
                       "1000 START 6\n"
                       "1000 INIT 6\n"
                       "1000 START 50\n"
                       "1000 START 1\n"
                       "1000 START 61\n"
                       "1000 s 61 400 1000\n"
                       "1000 s 50 99 1\n"
                       "1000 s 50 97 0\n"
                       "1000 s 50 212 0 0 90\n"
                       "1000 s 50 210 1 1\n"
                       "1000 s 50 99 2\n"
                       "1000 s 50 97 0\n"
                       "1000 s 50 90 0\n"
                       "1000 s 50 203 10 10 80 80 1000 4000\n"
                       // The driver compiles a program for each new mix of
                       // state; the warm-up frames see every mix once.
                       "1060 s 50 99 1\n"
                       "1060 s 50 98 0\n"
                       "1100 s 50 97 0\n"
                       "2000 s 50 99 1\n"
                       "2000 s 50 30 0\n"
                       "3000 s 50 30 0\n"
                       "2500 s 61 400 2500\n"
                       "4000 s 6 13 500\n"
                       "4500 s 61 407 4500\n"
                       "5000 s 50 98 0\n"
                       "8000 END_DEMO\n";
    source.addFile("data/testscript.scr", show);
    player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
    restart();

    key(37, true);
    EXPECT_EQ(countFrames(1000, 10, 360), 0);
    key(37, false);
    EXPECT_TRUE(player->quitRequested());
    EffectManager::instance()->deleteAll();
    TextureManager::deleteInstance();
}

// The production's five scenes at once, every render mode, fog, flares, the
// swarm and the environment cube, with the scene signals arriving while the
// frames are counted: camera switches, spins, moves, opacity, visibility,
// alpha-test moves, field-of-view moves and restarts of an effect.
TEST_F(TimelineAllocation, PlayingScenesAllocatesNothingPerFrame)
{
    const char* production = std::getenv("VP_PRODUCTION_DIR");
    ASSERT_NE(production, nullptr);
    std::filesystem::current_path(production);
    DemoEffects factory;
    factory.createEffects(false);
    std::string show = "DEMOSTART 1000\nSETUP\n0 l 0 0\n";
    const char* files[] = {"hall", "swarm", "chrome", "toon", "relief"};
    for (int i = 0; i < 5; ++i) {
        std::string id = std::to_string(20 + i);
        show += "0 l " + id + " " + std::to_string(2 + i) + "\n";
        show += "0 s " + id + " 50 data/" + files[i] + ".vsc\n";
    }
    show += "0 s 23 230 101\n"
            "0 s 20 280 Flicker01\n"
            "0 s 20 287 1\n"
            "TIMELINE\n"
            "1000 START 0\n";
    for (int i = 0; i < 5; ++i)
        show += "1000 START " + std::to_string(20 + i) + "\n";
    show += "1000 s 20 232 1\n"
            "1000 s 20 236 3\n"
            "1000 s 20 235 50 500\n"
            "1500 s 20 255 Crate01\n"
            "1500 s 20 256 100 200 0\n"
            "1600 s 20 257 0 10 0\n"
            "1700 s 20 258 50\n"
            "1800 s 21 407 0 50\n"
            "1900 s 22 254 70 1900 400 2\n"
            "2000 s 23 255 Halo01\n"
            "2000 s 23 259 0\n"
            "2100 s 23 259 1\n"
            "2200 s 24 255 Orb\n"
            "2200 s 24 260 10\n"
            "2300 s 24 261 90 2300 500\n"
            "2400 s 21 20\n"
            "2500 INIT 20\n"
            "2600 s 20 255 Crate02\n"
            "2600 s 20 256 0 300 0\n"
            "3000 END_DEMO\n";
    source.addFile("data/testscript.scr", show);
    player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
    restart();
    // The first run lets the driver compile the shader variants of every
    // state the show reaches (llvmpipe allocates for each new one); the
    // second, from a restart, must allocate nothing.
    countFrames(1000, 0, 95);
    restart();
    EXPECT_EQ(countFrames(1000, 10, 85), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::filesystem::current_path("/");
}

TEST_F(TimelineAllocation, FiltersAllocateNothingPerFrame)
{
    DemoEffects factory;
    factory.createEffects(false);
    // Sources under ids the table leaves free.
    EffectManager::instance()->registerEffect(90, new RenderTargetLayer(new FlatSource({0, 90, 200})));
    EffectManager::instance()->registerEffect(91, new FlatSource({200, 60, 0}));
    source.addFile("data/testscript.scr", kFilterShow);
    player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
    restart();

    EXPECT_EQ(countFrames(1000, 10, 150), 0);
    EXPECT_EQ(player->eventsDelivered(), 21u);
    EXPECT_TRUE(player->quitRequested());
}

// The production's shadow stages: shadow maps rendered every frame (and
// toggled while counting), the projector on, both wrapped in the target.
TEST_F(TimelineAllocation, ShadowedScenesAllocateNothingPerFrame)
{
    const char* production = std::getenv("VP_PRODUCTION_DIR");
    ASSERT_NE(production, nullptr);
    std::filesystem::current_path(production);
    DemoEffects factory;
    factory.createEffects(false);
    std::string show = "DEMOSTART 1000\nSETUP\n0 l 0 0\n"
                       "0 l 25 2\n0 s 25 50 data/shadow.vsc\n0 s 25 304 1\n"
                       "0 l 26 3\n0 s 26 50 data/projector.vsc\n0 s 26 311 1\n"
                       "TIMELINE\n"
                       "1000 START 0\n1000 START 25\n1000 START 26\n"
                       "1000 s 25 310 1\n"
                       "1500 s 25 312\n"
                       "1600 s 25 312\n"
                       "2000 s 26 313\n"
                       "2100 s 26 313\n"
                       "3000 END_DEMO\n";
    source.addFile("data/testscript.scr", show);
    player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
    restart();
    countFrames(1000, 0, 95);
    restart();
    EXPECT_EQ(countFrames(1000, 10, 85), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    std::filesystem::current_path("/");
}
