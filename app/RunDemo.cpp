#include "app/RunDemo.h"

#include "app/CapabilityCheck.h"
#include "app/DemoBuild.h"
#include "app/ClockTrace.h"
#include "app/DemoEffects.h"
#include "app/CaptureSoundtrack.h"
#include "app/FrameCapture.h"
#include "app/FramePresenter.h"
#include "app/PlaybackControl.h"
#include "app/ProductionCheck.h"
#include "app/ProductionPaths.h"
#include "app/ProductionWatch.h"
#include "app/RunHealthLog.h"
#include "app/RunInterruption.h"
#include "app/RunOptions.h"
#include "app/SectionLoop.h"
#include "app/SoundlessRun.h"
#include "effects/RenderTargetLayer.h"
#include "engine/DemoEngine.h"
#include "engine/EffectManager.h"
#include "engine/Logging.h"
#include "engine/ScriptPlayer.h"
#include "gl/ErrorBox.h"
#include "gl/GLExtensions.h"
#include "gl/TextureManager.h"
#include "platform/GLWindow.h"
#include "platform/Interruption.h"
#include "platform/MessageBox.h"
#include "resources/VFile.h"
#include "scene/SceneManager.h"
#include "scene/SceneReader.h"

#include <algorithm>
#include <chrono>
#include <thread>

static void showHeld(void* presenter)
{
    static_cast<FramePresenter*>(presenter)->showHeldPicture();
}

RunOptions& currentRunOptions()
{
    static RunOptions options;
    return options;
}

int runDemo(bool music, bool fullscreen, int width, int height, int samples, float anisotropy,
            bool logging, bool atiShadows)
{
    const RunOptions& options = currentRunOptions();
    // The soundtrack is read from disk beside the archive, never from it.
    const char* const soundtrackPath = options.names.music.c_str();
    const char* const archivePath = options.names.archive.c_str();

    // A message left over from the launcher.
    WindowMessage leftover;
    platform::peekMessage(leftover);

    setLoggingEnabled(logging);
    setLogFolder(options.logFolder);
    reportMissingProduction({archivePath, "data", soundtrackPath}, options.loose,
                            music || (options.capturing() && options.captureAudio));

    // Capture plays on its own fixed-step clock in a hidden window.
    FrameCapture* capture = nullptr;
    if (options.capturing()) {
        capture = new FrameCapture(options.captureDir, options.captureFps, options.captureToMs, options.captureFpsDen);
        if (!capture->prepare())
            exitProcess(1);
        capture->install();
    }
    DemoEngine::settings().hiddenWindow = capture != nullptr;
    DemoEngine::settings().swapInterval = capture ? 0 : options.swapInterval;
    DemoEngine::settings().audioDriver = options.audioDriver;
    DemoEngine::settings().desktopFullscreen = options.desktopFullscreen && !capture;
    EffectManager::setCheckGLAfterEachEffect(options.checkGL);
    RenderTargetLayer::setSizing(options.names.renderTarget);
    DemoEngine::create(fullscreen, options.names.title.c_str(), width, height, samples, anisotropy);
    DemoEngine& engine = *DemoEngine::getInstance();
    // Capture, screenshots and the overlay act on each finished frame.
    FramePresenter presenter;
    presenter.configureFit(capture ? FitMode::Off : options.fit, width, height);
    presenter.install(engine);
    presenter.setScreenshotFolder(options.screenshotFolder);

    checkCapabilities();
    // Scene files name their textures with the exporter's folders, which are
    // dropped: every texture comes from the one texture folder.
    SceneReader::setTextureNamesVerbatim(false);
    if (logging)
        logExtensions(logPath("vp_log_extensions.txt").c_str());

    // The music is read from disk by the sound output, never from the archive.
    if (music && !engine.initSound()) {
        playWithoutSoundOrQuit();
        music = false;
    }
    if (music) {
        if (!engine.openMusic(soundtrackPath))
            errorBox("could not set up music", true);
        engine.lockClockToMusic(options.clockFromMusic);
    }
    PlaybackControl playback(music, options.startMs);
    // A capture plays the show once.
    SectionLoop loop(capture ? -1 : options.loopFromMs, capture ? -1 : options.loopToMs);
    ProductionWatch watch;
    if (options.watch && !capture)
        watch.start(kLooseDataDir, music ? options.names.music : std::string());
    ClockTrace trace;

    // From here on every data file comes from the production's archive;
    // --loose keeps the files under data/ on disk for authoring.
    if (!options.loose)
        vfsetarchive(archivePath, options.names.password.c_str());

    ScriptPlayer* player = nullptr;
    DemoEffects* factory = nullptr;
    RunHealthLog health;
    if (logging)
        health.open(logPath("vp_log_starts.txt").c_str());
    bool quit = false;
    // A seek (Page Up, the loop, a watched save) builds the demo again with
    // the keys as they are: clearing them would lose an Escape pressed just
    // before. Only the script's own restart and reload keys start afresh.
    bool keepKeys = false;
    while (!quit) {
        // A full build: every effect made again, so textures and scenes are
        // loaded again too.
        factory = new DemoEffects;
        buildDemoEffects(engine, *factory, atiShadows);
        player = new ScriptPlayer(kScriptPath);

        bool rebuild = false;
        bool built = true; // the first start after a full build
        while (!quit && !rebuild) {
            // A start of the script: parsed again, effects keep their data.
            player->startScript();
            const int demoStart = player->demoStart();
            const int demoEnd = player->endDemoTime();
            loop.fit(demoStart, demoEnd, playback);
            // A capture from mid-show plays the steps before its first frame
            // without drawing them, on its own frames' grid, as a capture
            // from the start takes them; before the demo start (a lead-in)
            // its own clock runs there.
            const int captureFrom = options.captureFromGiven ? options.captureFromMs : demoStart;
            const int startAt = capture ? std::max(captureFrom, demoStart) : playback.startTime(demoStart, demoEnd);
            if (capture)
                player->setFrameGrid(capture->frameGrid(captureFrom));
            if (startAt != demoStart)
                player->fastForward(startAt);
            // Every start of the script positions the open stream at the
            // start time and plays it; the stream is never reopened.
            if (music) {
                engine.setMusicTime(engine.musicTimeAt(startAt));
                engine.playMusic(playback.paused());
                trace.musicStarted(startAt);
            }
            if (!keepKeys)
                engine.clearKeys();
            keepKeys = false;
            engine.startTimer();
            playback.started(engine);
            watch.started();
            health.recordStart(built);
            built = false;
            if (capture) {
                capture->setEndHint(player->endDemoTime());
                capture->begin(startAt, captureFrom);
                presenter.setCapture(capture);
            }

            bool restart = false;
            while (!quit && !restart && !rebuild) {
                WindowMessage msg;
                if (platform::peekMessage(msg)) {
                    if (msg.type == MessageType::Quit) {
                        quit = true;
                    } else {
                        playback.onMessage(msg);
                        loop.onMessage(msg);
                        if (!presenter.windowMessage(msg))
                            engine.windowProc(msg);
                    }
                    continue;
                }
                if (!capture && (playback.apply(engine, *player) || loop.apply(engine, *player, playback, presenter) ||
                                 watch.apply(engine, *player, playback, presenter))) {
                    // A seek back builds the demo afresh, as a run started
                    // there would: scenes keep what signals did to them and
                    // filters keep earlier pictures, so a restart of the
                    // script alone would not give the same picture.
                    delete player;
                    player = nullptr;
                    delete factory;
                    factory = nullptr;
                    rebuild = true;
                    keepKeys = true;
                    continue;
                }
                // Paused, the picture of the paused time is drawn once and
                // then shown again: trails and noise must not move on.
                const bool hold = playback.holdsPicture() && presenter.holdsPicture();
                if (!hold)
                    presenter.dropHeldPicture();
                presenter.setKeepPicture(playback.paused() && !hold);
                player->setRedraw(hold ? showHeld : nullptr, &presenter);
                player->runFrame();
                if (!hold)
                    playback.pictureDrawn();
                if (trace.enabled())
                    trace.frameDrawn(player->lastFrameTime());
                // A paused picture is drawn again now and then, not as fast as can be.
                if (playback.paused())
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                health.frameDone();
                if (player->reloadRequested()) {
                    delete player;
                    player = nullptr;
                    delete factory;
                    factory = nullptr;
                    rebuild = true;
                } else if (player->restartRequested()) {
                    restart = true;
                } else {
                    quit = player->quitRequested() && !loop.catchesEnd(*player);
                }
                if (capture && capture->finished())
                    quit = true;
            }
        }
    }

    // Where a signal stopped it: the last frame written, or the time shown.
    const int stoppedAtMs = capture ? capture->lastFrameTimeMs() : engine.getTime();
    // The last frames are still on their way to their files.
    if (capture)
        capture->flush();
    if (engine.isSoundInitialised())
        engine.closeSound();

    presenter.uninstall(engine);
    if (capture) {
        // A signal that stopped ffmpeg along with the player (a whole process
        // group stopped) breaks the pipe, but ffmpeg still closed its file
        // properly: what it holds is kept.
        const bool interrupted = platform::interruptingSignal() != 0;
        bool failed = capture->failed() && !(interrupted && capture->writesVideo());
        setActiveClock(nullptr);
        if (!failed)
            failed = !capture->finishVideo(options.captureAudio ? soundtrackPath : "",
                                           engine.musicTimeAt(capture->firstFrameMs()));
        if (!failed && options.captureAudio && !capture->writesVideo())
            failed = !writeCaptureSoundtrack(soundtrackPath, options.captureDir + "/audio.wav",
                                             engine.musicTimeAt(capture->firstFrameMs()),
                                             capture->framesWritten(), options.captureFps, options.captureFpsDen);
        // Up to the last frame kept, which for a video cut short by ffmpeg's
        // own stop is known only now.
        const int keptUpToMs = capture->lastFrameTimeMs();
        if (failed)
            reportInterruption(stoppedAtMs);
        else
            reportInterruption(keptUpToMs, capture->discards() ? std::string() : options.captureDir,
                               capture->framesWritten());
        delete capture;
        if (failed)
            exitProcess(platform::exitCodeAfterInterruption(1));
    }
    reportInterruption(stoppedAtMs);

    if (logging) {
        TextureManager::getInstance()->dump(logPath("vp_log_textures.txt").c_str());
        SceneManager::getInstance()->dump(logPath("vp_log_scenes.txt").c_str());
    }
    freeExtensions();
    // The scene manager is deleted before the effects, the texture manager after.
    SceneManager::deleteInstance();
    EffectManager::instance()->deleteAll();
    EffectManager::deleteInstance();
    TextureManager::deleteInstance();
    // Closes the frame statistics when logging.
    delete player;
    delete factory;
    return 0;
}
