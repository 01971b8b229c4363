#include "tools/makeprod/ScriptWriter.h"

#include <cstdio>

void ScriptWriter::comment(const std::string& text)
{
    header.push_back("// " + text);
}

void ScriptWriter::define(const std::string& name, int value)
{
    header.push_back("DEFINE " + name + " " + std::to_string(value));
}

void ScriptWriter::demoStart(int ms)
{
    header.push_back("DEMOSTART " + std::to_string(ms));
}

void ScriptWriter::setupLayer(int effect, int layer)
{
    setup.push_back("0 SET_LAYER " + std::to_string(effect) + " " + std::to_string(layer));
}

void ScriptWriter::setupSignal(int effect, int code, int value)
{
    setup.push_back("0 SIGNAL " + std::to_string(effect) + " " + std::to_string(code) + " " +
                    std::to_string(value));
}

void ScriptWriter::setupText(int effect, int code, const std::string& text)
{
    setup.push_back("0 SIGNAL " + std::to_string(effect) + " " + std::to_string(code) + " " + text);
}

void ScriptWriter::start(int ms, int effect)
{
    timeline.push_back(std::to_string(eventTime(ms)) + " START " + std::to_string(effect));
}

void ScriptWriter::stop(int ms, int effect)
{
    timeline.push_back(std::to_string(eventTime(ms)) + " END " + std::to_string(effect));
}

void ScriptWriter::init(int ms, int effect)
{
    timeline.push_back(std::to_string(eventTime(ms)) + " INIT " + std::to_string(effect));
}

void ScriptWriter::layer(int ms, int effect, int layerNumber)
{
    timeline.push_back(std::to_string(eventTime(ms)) + " SET_LAYER " + std::to_string(effect) + " " +
                       std::to_string(layerNumber));
}

void ScriptWriter::signal(int ms, int effect, int code, std::initializer_list<int> args)
{
    std::string line = std::to_string(eventTime(ms)) + " SIGNAL " + std::to_string(effect) + " " +
                       std::to_string(code);
    for (int a : args)
        line += " " + std::to_string(a);
    // A signal with nothing after its code would read the next line's
    // numbers as its arguments, and that event would be lost.
    if (args.size() == 0)
        line += " 0";
    timeline.push_back(line);
}

void ScriptWriter::text(int ms, int effect, int code, const std::string& t)
{
    timeline.push_back(std::to_string(eventTime(ms)) + " SIGNAL " + std::to_string(effect) + " " +
                       std::to_string(code) + " " + t);
}

void ScriptWriter::endDemo(int ms)
{
    timeline.push_back(std::to_string(eventTime(ms)) + " END_DEMO");
}

void ScriptWriter::timelineComment(const std::string& text)
{
    timeline.push_back("// " + text);
}

std::string ScriptWriter::str() const
{
    std::string out;
    auto emit = [&out](const std::string& line) { out += line + "\r\n"; };
    for (const auto& l : header)
        emit(l);
    emit("SETUP");
    for (const auto& l : setup)
        emit(l);
    emit("TIMELINE");
    for (const auto& l : timeline)
        emit(l);
    return out;
}

bool ScriptWriter::save(const std::string& path) const
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::string s = str();
    bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    return std::fclose(f) == 0 && ok;
}
