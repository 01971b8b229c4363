#include "engine/Script.h"

#include "engine/ScriptReader.h"
#include "engine/ScriptSource.h"
#include "engine/VFileScriptSource.h"
#include "gl/ErrorBox.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kMaxWordLength = 99;

std::string_view cut(std::string_view word)
{
    return word.substr(0, kMaxWordLength);
}

// Arithmetic of the script's expressions: 32-bit, wrapping on overflow.
int wrap(int64_t value)
{
    return static_cast<int>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

int applyOperator(char op, int left, int right)
{
    switch (op) {
    case '+': return wrap(int64_t(left) + right);
    case '-': return wrap(int64_t(left) - right);
    case '*': return wrap(int64_t(left) * right);
    default:
        if (right == 0)
            return 0;
        return wrap(int64_t(left) / right); // truncates toward zero
    }
}

bool isOperatorWord(std::string_view word)
{
    return !word.empty() && (word[0] == '+' || word[0] == '-' || word[0] == '*' || word[0] == '/');
}

} // namespace

// ---------------------------------------------------------------------------
// Construction and access

Script::Script(const char* path)
    : mode(ErrorMode::Fatal), maxFileParses(kMaxFileParses)
{
    static VFileScriptSource vfileSource;
    source = &vfileSource;
    parse(path);
}

Script::Script(const char* path, ScriptSource& source, ErrorMode mode, int maxFileParses)
    : source(&source), mode(mode), maxFileParses(maxFileParses)
{
    parse(path);
}

Script::~Script()
{
    for (ScriptEvent* event : timelineEvents)
        delete event;
    for (ScriptEvent* event : setupList)
        delete event;
}

void Script::parse(const char* path)
{
    parseFile(path ? path : "", "", 0);
    noteLateDefines();
    // Events at the same time keep the order in which they were parsed.
    std::stable_sort(timelineEvents.begin(), timelineEvents.end(),
                     [](const ScriptEvent* a, const ScriptEvent* b) { return a->time < b->time; });
}

// ---------------------------------------------------------------------------
// Errors

std::string formatScriptNote(const ScriptNote& note)
{
    std::string out = note.file;
    if (note.line > 0)
        out += ":" + std::to_string(note.line);
    return out + ": note: " + note.text;
}

namespace {

std::string formatNotes(const std::vector<ScriptNote>& notes)
{
    std::string lines;
    for (const ScriptNote& note : notes)
        lines += formatScriptNote(note) + "\n";
    return lines;
}

std::string firstWord(const std::string& line)
{
    size_t end = 0;
    while (end < line.size() && !ScriptReader::isSpace(line[end]))
        ++end;
    return line.substr(0, end);
}

int lineNumberAt(std::string_view text, size_t offset)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + std::min(offset, text.size()), '\n'));
}

std::string lineOf(std::string_view raw, int number)
{
    size_t start = 0;
    for (int n = 1; n < number && start != std::string_view::npos; ++n) {
        start = raw.find('\n', start);
        if (start != std::string_view::npos)
            ++start;
    }
    if (start == std::string_view::npos)
        return "";
    std::string_view line = raw.substr(start, raw.find('\n', start) - start);
    while (!line.empty() && ScriptReader::isSpace(line.back()))
        line.remove_suffix(1);
    while (!line.empty() && ScriptReader::isSpace(line.front()))
        line.remove_prefix(1);
    return std::string(line);
}

} // namespace

int Script::lineOfWord(std::string_view word) const
{
    if (!readingFile || word.data() < readingFile->text.data() ||
        word.data() > readingFile->text.data() + readingFile->text.size())
        return 0;
    size_t offset = static_cast<size_t>(word.data() - readingFile->text.data());
    size_t index = static_cast<size_t>(lineNumberAt(readingFile->text, offset) - 1);
    return index < readingFile->lines.size() ? readingFile->lines[index] : 0;
}

void Script::locate(std::string_view word)
{
    if (int line = lineOfWord(word))
        locate(readingName, line, lineOf(readingFile->raw, line));
}

void Script::locate(const std::string& file, int line, const std::string& text)
{
    if (failed)
        return;
    errorAtFile = file;
    errorAtLine = line;
    where = line ? file + ":" + std::to_string(line) + ":" : file + ":";
    // Beside the box, which ends the process: the message's own text stays
    // as it is, and this line says where to look.
    if (mode == ErrorMode::Fatal)
        std::fprintf(stderr, "%s %s\n", where.c_str(), text.c_str());
}

void Script::fail(const char* text)
{
    if (mode == ErrorMode::Fatal) {
        setFatalErrorNotes(formatNotes(noteList));
        errorBox(text, true);
    }
    if (!failed) {
        failed = true;
        error = text;
    }
}

void Script::failNumbered(const char* text, int number)
{
    noteEventCount(text, number);
    if (mode == ErrorMode::Fatal) {
        setFatalErrorNotes(formatNotes(noteList));
        errorBoxInt(text, number, true);
    }
    if (!failed) {
        char buffer[kErrorTextSize];
        std::snprintf(buffer, sizeof buffer, "%s: %i", text, number);
        failed = true;
        error = buffer;
    }
}

void Script::failNamed(const char* text, std::string_view name)
{
    std::string detail(name);
    if (mode == ErrorMode::Fatal) {
        setFatalErrorNotes(formatNotes(noteList));
        errorBoxStr(text, detail.c_str(), true);
    }
    if (!failed) {
        char buffer[kErrorTextSize];
        std::snprintf(buffer, sizeof buffer, "%s: %s", text, detail.c_str());
        failed = true;
        error = buffer;
    }
}

// ---------------------------------------------------------------------------
// Notes

void Script::noteSignal(const ScriptEvent& event, std::string_view value, bool wholeLine)
{
    if (event.args.text[0])
        textSignals.push_back(&event);
    const int valueLine = lineOfWord(value);
    if (value.empty() || valueLine <= event.line || event.line <= 0)
        return;
    // The words as written, before the defines were put in.
    const std::string written = lineOf(readingFile->raw, valueLine);
    const std::string head = "signal " + std::to_string(event.args.code) + " to " + std::to_string(event.effectId);
    std::string text;
    if (event.args.text[0])
        text = head + " took \"" + firstWord(written) +
               "\" as its text argument; codes without arguments need none, but a following keyword is read as one";
    else
        text = head + " took \"" + (wholeLine ? written : firstWord(written)) + "\" of line " +
               std::to_string(valueLine) +
               " as its arguments; codes without arguments need none, but the next line's numbers are read as them";
    noteList.push_back({readingName, event.line, text});
}

void Script::noteLateDefines()
{
    for (const ScriptEvent* event : textSignals) {
        if (!defines.find(event->args.text))
            continue;
        noteList.push_back({event->file ? event->file : "", event->line,
                            "signal " + std::to_string(event->args.code) + " to " + std::to_string(event->effectId) +
                                " took \"" + event->args.text + "\" as its text argument: that name is defined " +
                                "only after this file was read, so its value was not put in"});
    }
    textSignals.clear();
}

void Script::noteEventCount(const char* text, int number)
{
    if (!std::strstr(text, "line #") || errorAtLine <= 0)
        return;
    noteList.push_back({errorAtFile, errorAtLine,
                        "\"line #: " + std::to_string(number) + "\" counts the events of the " +
                            (std::strstr(text, "timeline") ? "timeline" : "setup") +
                            ", not the lines of the file: this is line " + std::to_string(errorAtLine)});
}

namespace {

// The numeric fields that follow an event word, in order; null for a word
// that starts no event in that section. A SIGNAL's value follows its fields.
const char* const* eventFields(std::string_view what, bool timeline)
{
    static const char* const id[] = {"an effect id", nullptr};
    static const char* const layer[] = {"an effect id", "a layer", nullptr};
    static const char* const signal[] = {"an effect id", "a signal code", nullptr};
    if (what == "SIGNAL" || what == "s")
        return signal;
    if (what == "SET_LAYER" || what == "l")
        return layer;
    if (timeline && (what == "START" || what == "b" || what == "END" || what == "e" || what == "INIT" || what == "i"))
        return id;
    return nullptr;
}

} // namespace

void Script::noteUnrecognised(std::string_view what, ScriptReader fields, bool timeline)
{
    if (errorAtLine <= 0)
        return;
    const std::string word = "\"" + std::string(what) + "\"";
    std::string text;
    if (what.empty()) {
        text = "the file ends before the event's word";
    } else if (const char* const* field = eventFields(what, timeline)) {
        for (; *field && text.empty(); ++field) {
            const std::string_view next = fields.peekWord();
            int value = 0;
            if (fields.readInt(value))
                continue;
            if (next.empty())
                text = word + " needs " + *field + ": the file ends first";
            else
                text = word + " needs " + *field + " (a 32-bit whole number) where \"" + std::string(next) +
                       "\" stands";
        }
        if (text.empty())
            text = word + " needs a value after its signal code: the file ends first";
    } else if (timeline) {
        text = word + " is not an event word: START, END, INIT, SIGNAL, SET_LAYER or END_DEMO (or b, e, i, s, l)";
    } else {
        text = word + " is not a setup event word: SIGNAL or SET_LAYER (or s, l)";
    }
    noteList.push_back({errorAtFile, errorAtLine, text});
}

// ---------------------------------------------------------------------------
// One file: load, preprocess and substitute once, then read its sections

void Script::parseFile(std::string_view nameView, std::string includedFile, int includedLine)
{
    if (failed)
        return;
    std::string name(nameView);
    if (std::find(includeChain.begin(), includeChain.end(), name) != includeChain.end()) {
        failNamed("script: file includes itself", name);
        return;
    }
    if (++fileParses > maxFileParses) {
        failNumbered("script: too many includes", maxFileParses);
        return;
    }

    includeChain.push_back(name);
    auto it = parsedFiles.find(name);
    if (it == parsedFiles.end()) {
        ParsedFile file;
        if (!source->readFile(name.c_str(), file.raw)) {
            if (includedFile.empty())
                locate(name, 0, "could not be read");
            else
                locate(includedFile, includedLine, "could not read the included file " + name);
            fail("script: could not open file for parsing");
            return;
        }
        std::string intermediate;
        preprocess(file.raw, intermediate, file.lines);
        if (failed)
            return;
        substitute(intermediate, file.text);
        it = parsedFiles.emplace(name, std::move(file)).first;
    }

    // Map nodes never move, so the text stays put while included files are
    // added to the map.
    const ParsedFile* outerFile = readingFile;
    std::string outerName = std::move(readingName);
    const char* outerKey = readingKey;
    readingFile = &it->second;
    readingName = name;
    readingKey = it->first.c_str();
    ScriptReader reader(it->second.text);
    readHeader(reader);
    readSetup(reader);
    readTimeline(reader);
    readingFile = outerFile;
    readingName = std::move(outerName);
    readingKey = outerKey;
    if (!failed)
        includeChain.pop_back();
}

void Script::preprocess(std::string_view raw, std::string& out, std::vector<int>& lines)
{
    out.reserve(raw.size() + raw.size() / 8);
    ScriptReader reader(raw);
    bool inBlockComment = false;
    bool setupSeen = false;
    size_t counted = 0; // raw text up to here has `line - 1` line feeds before it
    int line = 1;
    while (!failed) {
        std::string_view word = reader.readWord();
        if (word.empty())
            return;
        size_t offset = static_cast<size_t>(word.data() - raw.data());
        line += static_cast<int>(std::count(raw.begin() + counted, raw.begin() + offset, '\n'));
        counted = offset;

        if (inBlockComment) {
            reader.restOfLine();
            if (ScriptReader::startsWith(word, "*/"))
                inBlockComment = false;
            continue;
        }
        if (word == "SETUP") {
            setupSeen = true;
        } else if (word == "INCLUDE" && !setupSeen) {
            // The rest of the line is read on as if it began a line.
            parseFile(cut(reader.readWord()), includeChain.back(), line);
            continue;
        } else if (word == "DEFINE" || word == "d") {
            std::string_view name = reader.readWord();
            std::string_view value = reader.readWord();
            if (!value.empty())
                defines.add(name, value);
            continue;
        } else if (ScriptReader::startsWith(word, "/*")) {
            reader.restOfLine();
            inBlockComment = true;
            continue;
        } else if (ScriptReader::startsWith(word, "//")) {
            reader.restOfLine();
            continue;
        }
        out += word;
        out += reader.restOfLine();
        out += '\n';
        lines.push_back(line);
    }
}

void Script::substitute(std::string_view in, std::string& out) const
{
    out.reserve(in.size() + in.size() / 4);
    size_t lineStart = 0;
    while (lineStart < in.size()) {
        size_t lineEnd = in.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = in.size();
        ScriptReader words(in.substr(lineStart, lineEnd - lineStart));
        for (std::string_view word = words.readWord(); !word.empty(); word = words.readWord()) {
            const std::string* value = defines.find(word);
            if (value)
                out += *value;
            else
                out += word;
            out += ' ';
        }
        out += "\r\n";
        lineStart = lineEnd + 1;
    }
}

// ---------------------------------------------------------------------------
// Sections

int Script::readExpression(ScriptReader& reader, std::string_view first)
{
    int value = ScriptReader::toInt(first);
    while (isOperatorWord(reader.peekWord())) {
        char op = reader.readWord()[0];
        value = applyOperator(op, value, ScriptReader::toInt(reader.readWord()));
    }
    return value;
}

void Script::readHeader(ScriptReader& reader)
{
    for (;;) {
        std::string_view word = reader.readWord();
        if (word.empty() || word == "SETUP")
            return;
        if (word == "DEMOSTART")
            demoStartMs = readExpression(reader, reader.readWord());
    }
}

// Reads effect id, signal code and the value word of a SIGNAL. A value that
// is a number makes a numeric signal; in the timeline (wholeLine) the numeric
// words of the rest of its line follow as further arguments.
bool Script::readSignal(ScriptReader& reader, ScriptEvent& event, bool wholeLine, std::string_view& value)
{
    event.type = EventType::Signal;
    value = std::string_view();
    if (!reader.readInt(event.effectId) || !reader.readInt(event.args.code))
        return false;
    value = reader.readWord();
    if (value.empty())
        return false;
    if (!ScriptReader::isNumeric(value)) {
        std::string_view text = cut(value);
        event.args.setText(text.data(), text.size());
        return true;
    }
    event.args.addArg(ScriptReader::toInt(value));
    if (wholeLine) {
        ScriptReader rest(reader.restOfLine());
        for (std::string_view word = rest.readWord(); !word.empty(); word = rest.readWord()) {
            if (ScriptReader::isNumeric(word))
                event.args.addArg(ScriptReader::toInt(word));
        }
    }
    return true;
}

void Script::readSetup(ScriptReader& reader)
{
    for (int n = 1; !failed; ++n) {
        std::string_view timeWord = reader.readWord();
        if (timeWord.empty() || timeWord == "TIMELINE")
            return;
        if (ScriptReader::toInt(timeWord) != 0) {
            locate(timeWord);
            failNumbered("script: not a valid time (should be 0) in setup line #", n);
            return;
        }

        ScriptEvent event;
        std::string_view what = reader.readWord();
        const ScriptReader fields = reader;
        std::string_view value;
        bool recognised = false;
        if (what == "SIGNAL" || what == "s") {
            recognised = readSignal(reader, event, false, value);
        } else if (what == "SET_LAYER" || what == "l") {
            event.type = EventType::SetLayer;
            recognised = reader.readInt(event.effectId) && reader.readInt(event.args.code);
            event.args.addArg(0);
        }
        if (!recognised) {
            locate(timeWord);
            noteUnrecognised(what, fields, false);
            failNumbered("script: event not recognized in setup line #", n);
            return;
        }
        event.file = readingKey;
        event.line = lineOfWord(timeWord);
        setupList.push_back(new ScriptEvent(event));
        if (event.type == EventType::Signal)
            noteSignal(*setupList.back(), value, false);
    }
}

void Script::readTimeline(ScriptReader& reader)
{
    for (int n = 1; !failed;) {
        std::string_view word = reader.readWord();
        if (word.empty() || word == "LINETIME")
            return;
        if (word == "INCLUDE") {
            std::string_view included = cut(reader.readWord());
            int line = lineOfWord(word);
            parseFile(included, line ? readingName : std::string(), line);
            continue;
        }
        if (word == "TIMEOFFSET" || word == "t") {
            timeOffsetMs = readExpression(reader, reader.readWord());
            continue;
        }

        ScriptEvent event;
        event.time = wrap(int64_t(readExpression(reader, word)) + timeOffsetMs);
        if (event.time == 0) {
            locate(word);
            failNumbered("script: not a valid(1-maxtime) time in timeline line #", n);
            return;
        }

        std::string_view what = reader.readWord();
        const ScriptReader fields = reader;
        std::string_view value;
        bool recognised = false;
        if (what == "START" || what == "b") {
            event.type = EventType::Start;
            recognised = reader.readInt(event.effectId);
        } else if (what == "END" || what == "e") {
            event.type = EventType::Stop;
            recognised = reader.readInt(event.effectId);
        } else if (what == "INIT" || what == "i") {
            event.type = EventType::Init;
            recognised = reader.readInt(event.effectId);
        } else if (what == "SIGNAL" || what == "s") {
            recognised = readSignal(reader, event, true, value);
            event.args.timeOffset = timeOffsetMs;
        } else if (what == "SET_LAYER" || what == "l") {
            event.type = EventType::SetLayer;
            recognised = reader.readInt(event.effectId) && reader.readInt(event.args.code);
            event.args.addArg(0);
        } else if (what == "END_DEMO") {
            event.type = EventType::EndDemo;
            recognised = true;
        }
        if (!recognised) {
            locate(word);
            noteUnrecognised(what, fields, true);
            failNumbered("script: event not recognized in timeline line #", n);
            return;
        }
        event.file = readingKey;
        event.line = lineOfWord(word);
        timelineEvents.push_back(new ScriptEvent(event));
        if (event.type == EventType::Signal)
            noteSignal(*timelineEvents.back(), value, true);
        ++n;
    }
}
