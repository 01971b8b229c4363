#include "app/ProductionWatch.h"

#include "app/FramePresenter.h"
#include "app/PlaybackControl.h"
#include "engine/DemoEngine.h"
#include "platform/ChildProcess.h"

#include <cstdio>

namespace {

// An editor saves in several steps; the check waits for them to settle.
constexpr int kQuietMs = 150;

// The error lines of a check's output, for the overlay.
std::string errorLines(const std::string& output)
{
    std::string lines = "RELOAD FAILED, PLAYING THE LAST GOOD BUILD\n";
    size_t at = 0;
    while (at < output.size()) {
        size_t end = output.find('\n', at);
        if (end == std::string::npos)
            end = output.size();
        std::string line = output.substr(at, end - at);
        if (line.find(": error: ") != std::string::npos)
            lines += line + "\n";
        at = end + 1;
    }
    return lines;
}

} // namespace

ProductionWatch::~ProductionWatch()
{
    if (thread.joinable()) {
        folder.stop();
        thread.join();
    }
}

bool ProductionWatch::start(const char* root, const std::string& soundtrack)
{
    std::string error;
    checkCommand = {platform::selfExecutable(), "--check", "--loose"};
    if (soundtrack.empty())
        checkCommand.push_back("--no-music");
    else
        checkCommand.insert(checkCommand.end(), {"--music", soundtrack});
    if (checkCommand[0].empty() || !folder.open(root, error)) {
        std::fprintf(stderr, "warning: cannot watch %s: %s\n", root, error.c_str());
        return false;
    }
    thread = std::thread([this] { run(); });
    std::printf("watching %s\n", root);
    std::fflush(stdout);
    return true;
}

void ProductionWatch::run()
{
    while (folder.waitForChange(kQuietMs)) {
        std::string output;
        const int code = platform::runCapturingOutput(checkCommand, output);
        std::lock_guard<std::mutex> hold(resultLock);
        resultClean = code == 0;
        resultText = std::move(output);
        resultReady.store(true, std::memory_order_release);
    }
}

bool ProductionWatch::apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback,
                            FramePresenter& presenter)
{
    if (!resultReady.load(std::memory_order_acquire))
        return false;
    bool clean = false;
    std::string text;
    {
        std::lock_guard<std::mutex> hold(resultLock);
        resultReady.store(false, std::memory_order_relaxed);
        clean = resultClean;
        text.swap(resultText);
    }
    const int now = engine.demoClock().now();
    if (!clean) {
        std::fputs(text.c_str(), stderr);
        std::printf("reload failed at %d ms\n", now);
        std::fflush(stdout);
        presenter.setNotice(errorLines(text).c_str());
        showingError = true;
        return false;
    }
    if (showingError) {
        presenter.setNotice("");
        showingError = false;
    }
    std::printf("reload at %d ms\n", now);
    std::fflush(stdout);
    return playback.seek(engine, player, now, now);
}
