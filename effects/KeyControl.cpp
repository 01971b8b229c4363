#include "effects/KeyControl.h"

#include "engine/DemoEngine.h"
#include "engine/EffectManager.h"

namespace {

struct ToggleKey {
    int key;
    int effectId;
};

// In the order they are tested.
constexpr ToggleKey kToggleKeys[] = {
    {'1', 10}, {'2', 40}, {'3', 41}, {'4', 42}, {'5', 43},
    {'6', 44}, {'7', 61}, {'B', 5},  {'F', 50},
};

// A signal as one effect sends it to another: no time offset, no text.
void send(Effect* to, int code, int arg0)
{
    SignalArgs s;
    s.code = code;
    s.addArg(arg0);
    to->signal(s);
}

void send(Effect* to, int code, int arg0, int arg1)
{
    SignalArgs s;
    s.code = code;
    s.addArg(arg0);
    s.addArg(arg1);
    to->signal(s);
}

} // namespace

void KeyControl::init(int time)
{
    initBase(time);
}

const SignalTable& KeyControl::signals()
{
    static const SignalInfo codes[] = {
        {70, "id", "the effect the keys act on first"},
    };
    static const SignalTable table = signalTable(codes, nullptr);
    return table;
}

void KeyControl::signal(const SignalArgs& args)
{
    if (args.code == 70)
        target = EffectManager::instance()->findEffect(args.args[0]);
}

void KeyControl::render(int time, bool applyRect)
{
    update(time, applyRect);
    if (target)
        handleKeys(time);
}

void KeyControl::handleKeys(int time)
{
    DemoEngine* engine = DemoEngine::getInstance();
    EffectManager* manager = EffectManager::instance();
    if (!engine)
        return;

    auto pressed = [engine](int key) {
        if (!engine->isKeyPressedOnce(key))
            return false;
        engine->setKeyConsumed(key, true);
        return true;
    };

    for (const ToggleKey& t : kToggleKeys) {
        if (!pressed(t.key))
            continue;
        if (Effect* e = manager->findEffect(t.effectId)) {
            if (e->isRunning())
                e->stop();
            else
                e->start();
            target = e;
        }
    }

    if (pressed('0')) {
        manager->stopAll();
        if (Effect* e = manager->findEffect(0))
            e->start();
        if (Effect* e = manager->findEffect(2))
            e->start();
        start();
    }

    Effect* s = target->source ? target->source : target;

    if (pressed('N'))
        send(s, 20, 0);
    if (pressed('H'))
        send(s, 12, s->isPaused() ? 0 : 1, time);
    // Held arrows skip on every frame, so these two stay unacknowledged.
    if (engine->isKeyPressedOnce(kKeyLeft))
        send(s, 13, static_cast<int>(step));
    if (engine->isKeyPressedOnce(kKeyRight))
        send(s, 13, static_cast<int>(-step));
    if (pressed(kKeyUp))
        step *= 1.1f;
    if (pressed(kKeyDown))
        step *= 0.9f;
    if (pressed('S'))
        send(s, 312, 1);
    if (pressed('P'))
        send(s, 313, 1);
}
