#pragma once
// Effects for tests: a plain one with the base clock, and one that records
// every call it receives into a shared log.

#include "engine/Effect.h"
#include "engine/EffectManager.h"

#include <GL/gl.h>

#include <string>
#include <vector>

// init runs initBase, render updates the base clock without touching GL.
class PlainEffect : public Effect {
public:
    int inits = 0;
    int lastInitTime = -1;
    void init(int time) override
    {
        ++inits;
        lastInitTime = time;
        initBase(time);
    }
    void render(int time, bool) override { update(time, false); }
};

// Appends "<name>.<call>[@time]" to a log shared by several effects; with
// GL, the depth of both matrix stacks during render is recorded too.
class RecordingEffect : public Effect {
public:
    RecordingEffect(std::string name, std::vector<std::string>* log, bool readStacks = false)
        : name(std::move(name)), log(log), readStacks(readStacks)
    {
    }
    void init(int time) override
    {
        log->push_back(name + ".init@" + std::to_string(time));
        initBase(time);
    }
    void render(int time, bool) override
    {
        update(time, false);
        if (readStacks) {
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
            glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
            log->push_back(name + ".render@" + std::to_string(time) + " depth " +
                           std::to_string(projectionDepth) + "/" + std::to_string(modelviewDepth));
        } else {
            log->push_back(name + ".render@" + std::to_string(time));
        }
    }
    void preRender(int time) override { log->push_back(name + ".pre@" + std::to_string(time)); }
    void signal(const SignalArgs& args) override
    {
        log->push_back(name + ".signal" + std::to_string(args.code));
        signals.push_back(args);
        Effect::signal(args);
    }

    std::string name;
    std::vector<std::string>* log;
    bool readStacks;
    std::vector<SignalArgs> signals;
    int modelviewDepth = 0;
    int projectionDepth = 0;
};

// A fresh manager for every test: the singleton emptied and deleted.
struct ManagerReset {
    ManagerReset() { reset(); }
    ~ManagerReset() { reset(); }
    static void reset()
    {
        EffectManager::instance()->deleteAll();
        EffectManager::deleteInstance();
    }
};
