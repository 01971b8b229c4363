// The sound device never waits for the disk on the main thread's behalf:
// while a seek of the music reads the file, the device goes on being fed.
// The test holds the main thread's file reads at a gate of its own (it
// stands in for the C library's fread, which libvorbisfile reads through)
// until the device has been heard going on, or has been silent for a
// minute, which only a device waiting for the seek is.
#undef _FORTIFY_SOURCE // the gate is the one fread of this file

#include "engine/DemoEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <pthread.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::atomic<bool> gateArmed{false};
pthread_t gatedThread;
std::mutex gateMutex;
std::condition_variable gateChanged;
bool gateReached = false; // a read came to the gate
bool seekDone = false;
bool gateOpen = false;

long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : 0;
}

// Waits until `seconds` more of 44.1 kHz 16-bit stereo are written; false
// after a minute of silence from the device.
bool deviceGoesOn(const std::string& path, double seconds)
{
    const long until = fileSize(path) + static_cast<long>(seconds * 44100) * 4;
    for (int i = 0; i < 6000; ++i) {
        if (fileSize(path) >= until)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

extern "C" size_t fread(void* data, size_t size, size_t count, FILE* stream)
{
    using Read = size_t (*)(void*, size_t, size_t, FILE*);
    static const Read real = reinterpret_cast<Read>(dlsym(RTLD_NEXT, "fread"));
    if (gateArmed.load() && pthread_equal(pthread_self(), gatedThread)) {
        std::unique_lock<std::mutex> hold(gateMutex);
        gateReached = true;
        gateChanged.notify_all();
        gateChanged.wait(hold, [] { return gateOpen; });
    }
    return real(data, size, count, stream);
}

TEST(MusicStreamHeard, TheDeviceIsFedWhileASeekReadsTheDisk)
{
    char name[] = "/tmp/vp_seek_XXXXXX";
    ASSERT_TRUE(mkdtemp(name));
    const std::string heardPath = std::string(name) + "/heard.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", heardPath.c_str(), 1);
    DemoEngine::settings().hiddenWindow = true;
    DemoEngine::create(false, "music test", 320, 240, 0, 0.0f);
    DemoEngine& engine = *DemoEngine::getInstance();
    const char* production = std::getenv("VP_PRODUCTION_DIR");
    ASSERT_TRUE(production);
    ASSERT_TRUE(engine.initSound());
    ASSERT_TRUE(engine.openMusic((std::string(production) + "/velmorprocess-zqfinal.ogg").c_str()));
    engine.setMusicTime(5000);
    engine.playMusic();
    ASSERT_TRUE(deviceGoesOn(heardPath, 0.5));

    bool fedDuringSeek = false;
    std::thread listener([&] {
        {
            std::unique_lock<std::mutex> hold(gateMutex);
            gateChanged.wait(hold, [] { return gateReached || seekDone; });
            if (!gateReached)
                return;
        }
        fedDuringSeek = deviceGoesOn(heardPath, 0.5);
        std::lock_guard<std::mutex> hold(gateMutex);
        gateOpen = true;
        gateChanged.notify_all();
    });
    gatedThread = pthread_self();
    gateArmed = true;
    engine.setMusicTime(60000); // far off: the seek reads the file
    gateArmed = false;
    {
        std::lock_guard<std::mutex> hold(gateMutex);
        seekDone = true;
        gateChanged.notify_all();
    }
    listener.join();
    ASSERT_TRUE(gateReached) << "the seek read nothing through the gate";
    EXPECT_TRUE(fedDuringSeek) << "the device waited while the seek read the disk";
    engine.closeSound();
    unlink(heardPath.c_str());
    rmdir(name);
}
