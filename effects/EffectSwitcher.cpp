#include "effects/EffectSwitcher.h"

#include "effects/ImageLayer.h"

EffectSwitcher::EffectSwitcher()
{
    for (ImageLayer*& c : children)
        c = new ImageLayer();
}

EffectSwitcher::~EffectSwitcher()
{
    for (ImageLayer* c : children)
        delete c;
}

void EffectSwitcher::init(int time)
{
    for (ImageLayer* c : children)
        c->init(time);
}

void EffectSwitcher::render(int time, bool applyRect)
{
    for (ImageLayer* c : children)
        if (c->isRunning())
            c->render(time, applyRect);
}

int EffectSwitcher::selectedIndex() const
{
    for (int i = 0; i < kChildCount; ++i)
        if (children[i] == current)
            return i;
    return -1;
}

const SignalTable& EffectSwitcher::signals()
{
    static const SignalInfo codes[] = {
        {97, "", "start the selected image layer"},
        {98, "", "stop the selected image layer"},
        {99, "index", "select image layer 0..4; every signal also goes to it"},
    };
    static const SignalTable table = signalTable(codes, nullptr, true);
    return table;
}

void EffectSwitcher::signal(const SignalArgs& args)
{
    switch (args.code) {
    case 97:
        if (current)
            current->start();
        break;
    case 98:
        if (current)
            current->stop();
        break;
    case 99:
        // A negative index would select outside the five layers.
        if (args.args[0] >= 0 && args.args[0] < kChildCount)
            current = children[args.args[0]];
        break;
    default:
        break;
    }
    if (current)
        current->signal(args);
}
