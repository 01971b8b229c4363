#include "app/ProductionWatch.h"

#include "app/CheckErrorLines.h"
#include "app/FramePresenter.h"
#include "app/PlaybackControl.h"
#include "app/ProductionChecker.h"
#include "engine/DemoEngine.h"
#include "platform/ChildProcess.h"
#include "resources/VFile.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// An editor saves in several steps; the check waits for them to settle.
constexpr int kQuietMs = 150;

constexpr const char* kReloadFailed = "RELOAD FAILED, PLAYING THE LAST GOOD BUILD";
constexpr const char* kNotClean = "THE PRODUCTION DOES NOT CHECK CLEAN";

} // namespace

ProductionWatch::~ProductionWatch()
{
    if (thread.joinable()) {
        folder.stop();
        thread.join();
        vfsetrecord(nullptr);
        vfsetsnapshot(nullptr);
    }
    if (recordFd >= 0)
        close(recordFd);
}

bool ProductionWatch::start(const char* root, const std::string& soundtrack)
{
    std::string error;
    checkCommand = {platform::selfExecutable(), "--check", "--loose"};
    if (soundtrack.empty())
        checkCommand.push_back("--no-music");
    else // a name that starts with a dash would be read as an option
        checkCommand.insert(checkCommand.end(), {"--music", soundtrack[0] == '-' ? "./" + soundtrack : soundtrack});
    // The check hands back the files it read through a file without a name,
    // which nothing can leave behind, however the run ends.
    const char* tmp = std::getenv("TMPDIR");
    std::string fileTemplate = std::string(tmp && tmp[0] ? tmp : "/tmp") + "/vplayer-watch-XXXXXX";
    if (checkCommand[0].empty()) {
        error = "the player's own file is not known";
    } else if ((recordFd = mkostemp(fileTemplate.data(), O_CLOEXEC)) < 0) {
        error = "no scratch file under " + fileTemplate.substr(0, fileTemplate.rfind('/'));
    } else {
        unlink(fileTemplate.c_str());
        recordPath = "/proc/self/fd/" + std::to_string(recordFd);
    }
    if (!error.empty() || !folder.open(root, error)) {
        std::fprintf(stderr, "warning: cannot watch %s: %s\n", root, error.c_str());
        return false;
    }
    // The check process is the watch's, not the author's: its messages come
    // back here, and a box would wait for a click nobody sees.
    checkEnvironment = {"VP_NO_DIALOGS=1", std::string(kCheckSnapshotVariable) + "=/proc/self/fd/3"};
    // Until the first check is in, what the first build reads is the build
    // that plays; after it, what builds read that the check did not.
    vfsetrecord(&runReads);
    if (!soundtrack.empty())
        soundtrackWatch.start(soundtrack);
    thread = std::thread([this] { run(); });
    std::printf("watching %s\n", root);
    std::fflush(stdout);
    return true;
}

ProductionWatch::Result ProductionWatch::check()
{
    Result checked;
    // Emptied first: a check that dies before writing hands back nothing.
    const bool emptied = ftruncate(recordFd, 0) == 0;
    const int code = platform::runCapturingOutput(checkCommand, checked.text, checkEnvironment, recordFd);
    auto files = std::make_shared<FileSnapshot>();
    if (emptied && files->load(recordPath.c_str()))
        checked.files = std::move(files);
    checked.clean = code == 0 && checked.files;
    if (code != 0 && code != 1)
        checked.text += "error: the check ended without a result (" + std::to_string(code) + ")\n";
    else if (code == 0 && !checked.files)
        checked.text += "error: the check did not hand back the files it read\n";
    lastRead = checked.files;
    return checked;
}

bool ProductionWatch::unchanged()
{
    std::shared_ptr<const FileSnapshot> runRead;
    {
        std::lock_guard<std::mutex> hold(resultLock);
        runRead = runReadsSeen;
    }
    return lastRead && lastRead->matchesDisk() && (!runRead || runRead->matchesDisk());
}

void ProductionWatch::run()
{
    bool first = true;
    do {
        // Only a change to what the production reads is worth a check.
        if (!first && unchanged())
            continue;
        Result checked = check();
        std::lock_guard<std::mutex> hold(resultLock);
        // A first result not yet taken still counts as the first.
        checked.first = first || (result.first && resultReady.load(std::memory_order_relaxed));
        first = false;
        result = std::move(checked);
        resultReady.store(true, std::memory_order_release);
    } while (folder.waitForChange(kQuietMs));
}

void ProductionWatch::reportBroken(const std::string& text, const char* what, int now, FramePresenter& presenter)
{
    std::fputs(text.c_str(), stderr);
    std::printf("%s at %d ms\n", what, now);
    std::fflush(stdout);
    presenter.setNotice(checkErrorLines(replaying ? kReloadFailed : kNotClean, text).c_str());
    showingError = true;
}

void ProductionWatch::publishRunReads()
{
    // The record only grows between clears, and only when a build or a
    // signal opens a file for the first time: rarely a copy.
    if (!runReadsCleared && runReads.entries().size() == runReadsPublished)
        return;
    auto copy = std::make_shared<const FileSnapshot>(runReads);
    runReadsPublished = runReads.entries().size();
    runReadsCleared = false;
    std::lock_guard<std::mutex> hold(resultLock);
    runReadsSeen = std::move(copy);
}

bool ProductionWatch::apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback,
                            FramePresenter& presenter)
{
    publishRunReads();
    // A new export of the soundtrack plays from the time shown, as a save does.
    const int shown = engine.demoClock().now();
    if (soundtrackWatch.apply(engine, shown))
        return playback.seek(engine, player, shown, shown);
    if (!resultReady.load(std::memory_order_acquire))
        return false;
    Result got;
    {
        std::lock_guard<std::mutex> hold(resultLock);
        resultReady.store(false, std::memory_order_relaxed);
        got = std::move(result);
        result = Result();
    }
    const int now = engine.demoClock().now();
    if (got.first) {
        const bool sameAsRun = got.files && got.files->agreesWith(runReads);
        if (!got.clean) {
            // Nothing has checked clean yet: the build that plays is what the
            // run read, which rebuilds replay.
            replaying = !sameAsRun;
            reportBroken(got.text, sameAsRun ? "check failed" : "reload failed", now, presenter);
            return false;
        }
        vfsetsnapshot(got.files);
        // Unless a save landed between the run's reading and the check's,
        // the build that plays is the one checked; the run keeps only what
        // the check did not read.
        if (sameAsRun) {
            runReads.removeHeldBy(*got.files);
            runReadsCleared = true;
            return false;
        }
    } else if (!got.clean) {
        replaying = true;
        reportBroken(got.text, "reload failed", now, presenter);
        return false;
    } else {
        vfsetsnapshot(got.files);
    }
    runReads.clear();
    runReadsCleared = true;
    if (showingError) {
        presenter.setNotice("");
        showingError = false;
    }
    replaying = false;
    std::printf("reload at %d ms\n", now);
    std::fflush(stdout);
    return playback.seek(engine, player, now, now);
}

void ProductionWatch::started()
{
    if (!replaying)
        return;
    std::printf("playing the last good build: the files on disk do not check clean\n");
    std::fflush(stdout);
}
