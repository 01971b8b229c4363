#pragma once
// Live reload for authoring (--watch with --loose): when a file under data/
// changes, the production is checked in a separate `vplayer --check` process,
// which reads everything afresh with no GL and no shared caches. A clean
// result rebuilds the demo at the time shown, as a seek does (a paused demo
// stays paused); a broken one prints its messages on stderr and shows its
// errors in the overlay, and the last good production plays on until a
// later change checks clean.
//
// The waiting and checking run on a thread of their own; a frame only reads
// one atomic flag.

#include "platform/FolderWatch.h"

#include <atomic>
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
    // without music.
    bool start(const char* folder, const std::string& soundtrack);

    // Before a frame: true when a change checked clean and the demo must be
    // built again (the player has been told to restart at the time shown).
    bool apply(DemoEngine& engine, ScriptPlayer& player, PlaybackControl& playback, FramePresenter& presenter);

private:
    void run();

    platform::FolderWatch folder;
    std::vector<std::string> checkCommand;
    std::thread thread;
    std::atomic<bool> resultReady{false};
    std::mutex resultLock;
    bool resultClean = false;
    std::string resultText; // the check's output
    bool showingError = false;
};
