#pragma once
// Live reload for authoring (--watch with --loose): when a file that the
// production reads changes in content, the production is checked in a
// separate `vplayer --check` process, which reads everything afresh with no
// GL and no shared caches and hands back the files it read. A clean result
// rebuilds the demo from exactly those files at the time shown, as a seek
// does (a paused demo stays paused); a broken one prints its messages on
// stderr and shows its errors in the overlay until a later change checks
// clean.
//
// The last clean check's files stay in memory and every build is made from
// them (the virtual file layer's snapshot), and so do the files a build
// reads that the check does not; seeks back, loop-backs, Ctrl+Shift and
// Ctrl+Home thus replay the last good build while the files on disk are
// broken or half-saved, instead of ending the run. A clean reload lets go of
// the run's own files, so that the build after it reads them afresh.
//
// Saves that change nothing the production reads (an editor's swap, lock and
// backup files, a save without changes) start no check. The first check runs
// as the watch starts, so that a good build is kept from the beginning.
//
// The waiting and checking run on a thread of their own; a frame only reads
// one atomic flag.

#include "app/SoundtrackWatch.h"
#include "platform/FolderWatch.h"
#include "resources/FileSnapshot.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DemoEngine;
class FramePresenter;
class PlaybackControl;
class ScriptPlayer;

class ProductionWatch {
public:
    ProductionWatch() = default;
    ~ProductionWatch();
    ProductionWatch(const ProductionWatch&) = delete;
    ProductionWatch& operator=(const ProductionWatch&) = delete;

    // Watches `folder`; false (with a message on stderr) when it cannot.
    // `soundtrack`: the file the run plays, which the check reads too; empty
    // without music. Call before the first build: from then on the run
    // keeps what it reads.
    bool start(const char* folder, const std::string& soundtrack);

    // Before a frame: true when a change checked clean and the demo must be
    // built again (the player has been told to restart at the time shown).
    bool apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback, FramePresenter& presenter);

    // After a start of the script: says so when it was made from the last
    // good build because the files on disk do not check clean.
    void started();

private:
    struct Result {
        bool first = false; // the check made as the watch started
        bool clean = false;
        std::string text;   // the check's output
        std::shared_ptr<const FileSnapshot> files; // what it read; null when it could not tell
    };

    void run();
    Result check();
    void reportBroken(const std::string& text, const char* what, int now, FramePresenter& presenter);
    void publishRunReads();
    // Watch thread: true when nothing the production reads has changed.
    bool unchanged();

    platform::FolderWatch folder;
    SoundtrackWatch soundtrackWatch; // a new export of the soundtrack is opened afresh
    std::vector<std::string> checkCommand;
    std::vector<std::string> checkEnvironment;
    int recordFd = -1;      // an unnamed file the check writes the files it read to
    std::string recordPath; // the player's name for it
    std::thread thread;
    std::shared_ptr<const FileSnapshot> lastRead; // watch thread: what the latest check read

    std::atomic<bool> resultReady{false};
    std::mutex resultLock;
    Result result;

    std::shared_ptr<const FileSnapshot> runReadsSeen; // a copy of runReads for the watch thread, under resultLock

    // Main thread.
    FileSnapshot runReads; // what the run read that the last clean check did not
    size_t runReadsPublished = 0; // entries in the copy the watch thread has
    bool runReadsCleared = false; // the copy must be replaced by an empty one
    bool showingError = false;
    bool replaying = false; // builds come from the last good build, not the broken disk
};
