#include "app/OverlayText.h"

#include "effects/RenderTargetLayer.h"
#include "engine/Effect.h"
#include "engine/EffectManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <typeinfo>

const char* overlayEffectName(const Effect* effect, bool& wrapped, int& length)
{
    wrapped = false;
    if (const RenderTargetLayer* layer = dynamic_cast<const RenderTargetLayer*>(effect)) {
        if (layer->inner()) {
            wrapped = true;
            effect = layer->inner();
        }
    }
    // Mangled names: "11SceneEffect" outside any namespace, "N2fx4GlowE"
    // inside one; the last component is the class.
    const char* name = typeid(*effect).name();
    bool nested = *name == 'N';
    if (nested)
        ++name;
    length = 0;
    const char* last = name;
    while (*name >= '0' && *name <= '9') {
        int n = 0;
        while (*name >= '0' && *name <= '9')
            n = n * 10 + (*name++ - '0');
        last = name;
        length = n;
        for (int i = 0; i < n && *name; ++i)
            ++name;
        if (!nested)
            break;
    }
    if (length == 0) {
        last = typeid(*effect).name();
        length = static_cast<int>(std::strlen(last));
    }
    return last;
}

namespace {

int effectId(const EffectManager& effects, const Effect* effect)
{
    for (int id = 0; id < EffectManager::kMaxEffects; ++id) {
        if (effects.findEffect(id) == effect)
            return id;
    }
    return -1;
}

} // namespace

int buildOverlayText(int demoTimeMs, const FrameTimeWindow& times, const EffectManager& effects,
                     char (*lines)[kOverlayLineChars], int maxLines)
{
    if (maxLines <= 0)
        return 0;
    int n = 0;
    int t = std::abs(demoTimeMs);
    std::snprintf(lines[n++], kOverlayLineChars, "TIME %s%d:%02d.%03d  (%d MS)", demoTimeMs < 0 ? "-" : "",
                  t / 60000, t / 1000 % 60, t % 1000, demoTimeMs);
    if (n < maxLines)
        std::snprintf(lines[n++], kOverlayLineChars, "FRAME %.1f MS  AVG %.1f  WORST %.1f  (%d IN 1 S)",
                      times.lastUs() / 1000.0, times.averageUs() / 1000.0, times.worstUs() / 1000.0,
                      times.count());
    int hidden = 0;
    for (int layer = 0; layer < EffectManager::kLayerCount; ++layer) {
        for (const Effect* e : effects.layer(layer)) {
            if (!e || !e->isRunning())
                continue;
            if (n >= maxLines - 1) {
                ++hidden;
                continue;
            }
            bool wrapped = false;
            int length = 0;
            const char* name = overlayEffectName(e, wrapped, length);
            std::snprintf(lines[n++], kOverlayLineChars, "L%-2d %3d %.*s%s", layer, effectId(effects, e), length,
                          name, wrapped ? "*" : "");
        }
    }
    if (hidden > 0)
        std::snprintf(lines[n++], kOverlayLineChars, "... %d MORE", hidden);
    return n;
}

int wrapOverlayNotice(const char* text, int columns, char (*lines)[kOverlayLineChars], int maxLines)
{
    constexpr int kIndent = 2;
    if (columns > kOverlayLineChars - 1)
        columns = kOverlayLineChars - 1;
    // Room for the indent and a few characters of text, however narrow.
    if (columns < kIndent + 8)
        columns = kIndent + 8;
    int n = 0;
    while (text && *text && n < maxLines) {
        const char* end = text + std::strcspn(text, "\n");
        bool first = true;
        do {
            const int indent = first ? 0 : kIndent;
            const int room = columns - indent;
            int take = static_cast<int>(end - text);
            if (take > room) {
                int blank = room;
                while (blank > 0 && text[blank] != ' ')
                    --blank;
                take = blank > 0 ? blank : room;
            }
            std::memset(lines[n], ' ', indent);
            std::memcpy(lines[n] + indent, text, take);
            lines[n][indent + take] = '\0';
            ++n;
            text += take;
            while (text < end && *text == ' ')
                ++text;
            first = false;
        } while (text < end && n < maxLines);
        text = *end ? end + 1 : end;
    }
    return n;
}
