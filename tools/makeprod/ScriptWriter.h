#pragma once
// Writes a demo script: the header, the SETUP section and the TIMELINE,
// line by line with CR LF endings, as the engine's script reader expects.
// Times are demo milliseconds; events at time 0 are moved to 1 ms because the
// timeline refuses time 0.

#include <initializer_list>
#include <string>
#include <vector>

class ScriptWriter {
public:
    void comment(const std::string& text);
    void define(const std::string& name, int value);
    void demoStart(int ms);

    // SETUP section
    void setupLayer(int effect, int layer);
    void setupSignal(int effect, int code, int value);
    void setupText(int effect, int code, const std::string& text);

    // TIMELINE section, in any order (the reader sorts by time, keeping the
    // order of equal times).
    void start(int ms, int effect);
    void stop(int ms, int effect);
    void init(int ms, int effect);
    void layer(int ms, int effect, int layer);
    void signal(int ms, int effect, int code, std::initializer_list<int> args);
    void text(int ms, int effect, int code, const std::string& text);
    void endDemo(int ms);
    void timelineComment(const std::string& text);

    std::string str() const;
    bool save(const std::string& path) const;

private:
    static int eventTime(int ms) { return ms == 0 ? 1 : ms; }

    std::vector<std::string> header;
    std::vector<std::string> setup;
    std::vector<std::string> timeline;
};
