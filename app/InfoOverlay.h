#pragma once
// The F1 overlay: a dark panel in the window's top left corner with the
// lines of OverlayText.h. Drawn into the window after the demo's picture is
// final (after capture and screenshots have read it), so it never shows in
// either. Saves and restores every GL state it touches.

#include "app/OverlayFont.h"
#include "app/OverlayText.h"

#include <string>

class InfoOverlay {
public:
    // Needs a current context; GL objects are made once.
    void create() { font.create(); }
    void destroy() { font.destroy(); }
    // Builds the lines and draws them over a window of windowWidth x windowHeight pixels.
    void draw(int windowWidth, int windowHeight, int demoTimeMs, const FrameTimeWindow& times);

    // Lines shown above the rest until cleared (an empty text): a reload's
    // error while the last good production plays on. Wrapped to the
    // window's width, at most kNoticeLines lines.
    void setNotice(const char* text) { notice = text ? text : ""; }
    bool hasNotice() const { return !notice.empty(); }

    int lineCount() const { return count; }
    const char* line(int i) const { return lines[i]; }

private:
    OverlayFont font;
    char lines[kOverlayMaxLines][kOverlayLineChars] = {};
    int count = 0;
    static constexpr int kNoticeLines = 16;
    std::string notice;
};
