#pragma once
// A hidden engine window driven by a fixed-step clock, and a ScriptPlayer
// reading its script from memory: frames are played at exact demo times.

#include "engine/DemoEngine.h"
#include "engine/MemoryScriptSource.h"
#include "engine/ScriptPlayer.h"
#include "gl/TextureManager.h"
#include "platform/Clock.h"
#include "scene/SceneManager.h"

#include "support/TestEffects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class PlayerRig : public ::testing::Test {
protected:
    FixedStepClock clock;
    ManagerReset reset;
    MemoryScriptSource source;
    std::unique_ptr<ScriptPlayer> player;
    std::vector<std::string> log;

    void SetUp() override
    {
        setActiveClock(&clock);
        DemoEngine::settings().hiddenWindow = true;
        DemoEngine::settings().swapInterval = 0;
        DemoEngine::create(false, "timeline test", 320, 240, 0, 0.0f);
    }

    void TearDown() override
    {
        player.reset();
        // Scenes and textures go while the engine's context is still there.
        SceneManager::deleteInstance();
        ManagerReset::reset();
        TextureManager::deleteInstance();
        setActiveClock(nullptr);
    }

    DemoEngine& engine() { return *DemoEngine::getInstance(); }

    RecordingEffect* add(int id, const char* name)
    {
        auto* e = new RecordingEffect(name, &log);
        EffectManager::instance()->registerEffect(id, e);
        return e;
    }

    // Makes the player for `script` and starts it as the demo run does.
    void play(const std::string& script)
    {
        source.addFile("data/testscript.scr", script);
        player = std::make_unique<ScriptPlayer>("data/testscript.scr", &source);
        restart();
    }

    void restart()
    {
        player->startScript();
        engine().clearKeys();
        clock.set(0);
        engine().startTimer();
    }

    // Runs one frame at demo time ms.
    void frameAt(int ms)
    {
        clock.set(static_cast<int64_t>(ms - player->demoStart()) * 1000);
        player->runFrame();
    }

    void key(int vk, bool down)
    {
        WindowMessage msg;
        msg.type = down ? MessageType::KeyDown : MessageType::KeyUp;
        msg.param1 = vk;
        engine().windowProc(msg);
    }

    void setMinimised(bool minimised)
    {
        WindowMessage msg;
        msg.type = MessageType::Activate;
        msg.param1 = minimised ? 1 : 0;
        engine().windowProc(msg);
    }

    // The log since the last call.
    std::vector<std::string> takeLog()
    {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }
};

using Log = std::vector<std::string>;
