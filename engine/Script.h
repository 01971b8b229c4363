#pragma once
// The parsed demo script: a setup list run once at every start, a timeline
// sorted by demo time, and the demo start. The ScriptPlayer owns the Script;
// the Script owns its events and the texts of the files it read.
//
// How it works. Each file goes through three stages:
//   1. Preprocessing, one pass per word that starts a line: comments ("//",
//      and "/*" up to a line whose first word begins with "*/") and
//      "DEFINE name value" / "d name value" are taken out, and "INCLUDE name"
//      before the SETUP keyword parses that file on the spot. Everything else
//      is written on as lines.
//   2. Substitution: every word that names a define is replaced by its value,
//      once, over the whole file. The result is kept per file name, so a file
//      included again is read from that text without being loaded again.
//   3. Sections: the header (only "DEMOSTART expr" counts) up to "SETUP", the
//      setup events up to "TIMELINE", the timeline events up to "LINETIME" or
//      the end. "INCLUDE name" and "TIMEOFFSET expr" / "t expr" may stand
//      between timeline events.
// Events are read word by word, not line by line: a line break is only white
// space, except for the argument list of a timeline SIGNAL, which runs to the
// end of its line.
//
// Expressions ("60000 - 5000") are evaluated left to right in 32-bit integers
// without precedence; an operator word is any word beginning with + - * or /,
// the rest of it ignored ("1000 +500" divides nothing: "+500" is the operator
// and the next word its operand).
//
// Errors are fatal message boxes naming the event number within its section
// of its file. Beside each, one line on stderr names the file and the line in
// it where the faulty event begins ("data/testscript.scr:12: " and that line
// as written), or the file that could not be read (and the line that included
// it): event numbers are hard to count by hand. Cases the format leaves open are decided as follows:
//   - x / 0 gives 0 (a timeline time that comes out 0 is then refused), and
//     the one division that overflows, INT_MIN / -1, wraps to INT_MIN like
//     every other overflow.
//   - Numbers outside the 32-bit range saturate where they are atoi values
//     (times, signal values); as ids, codes and layers they are errors.
//   - An id, code or layer that is not a number, or an event cut short by
//     the end of the text, is "event not recognized" with its event number.
//   - Words longer than 99 characters are cut to 99 where they are kept
//     (define names and values, file names, signal texts).
//   - Lines have no length limit; a SIGNAL's argument list is its whole line.
//   - A DEFINE cut short by the end of its file is ignored.
//   - A file included a second time contributes its header, setup and
//     timeline events again, from its stored text; its defines and the files
//     it included before its SETUP are not read again.
//   - An INCLUDE of a file that is still being parsed (a file that includes
//     itself, directly or through others) would repeat without end: it is
//     fatal, "script: file includes itself: <name>". More than 4096 file
//     parses in one script (includes multiplying each other) are fatal too,
//     "script: too many includes: 4096".

#include "engine/ScriptDefines.h"
#include "engine/ScriptEvent.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

class ScriptReader;
class ScriptSource;

// Something the parser accepted but an author most likely did not mean, or
// what its error message leaves unsaid; at the file and line it concerns.
struct ScriptNote {
    std::string file;
    int line = 0;
    std::string text;
};

// "FILE:LINE: note: text".
std::string formatScriptNote(const ScriptNote& note);

class Script {
public:
    // Fatal: errors show the fatal box and end the process (the player).
    // Report: the first error stops parsing and is kept in errorText(), with
    // the same text the box would show (tests, the fuzzer).
    enum class ErrorMode { Fatal, Report };

    static constexpr int kMaxFileParses = 4096;

    // Parses the file at path through the virtual file layer; errors are fatal.
    explicit Script(const char* path);
    Script(const char* path, ScriptSource& source, ErrorMode mode, int maxFileParses = kMaxFileParses);
    ~Script();

    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    int demoStart() const { return demoStartMs; }
    const std::vector<ScriptEvent*>& timeline() const { return timelineEvents; }
    const std::vector<ScriptEvent*>& setupEvents() const { return setupList; }

    bool ok() const { return !failed; }
    const std::string& errorText() const { return error; }
    // Where the first error lies, "FILE:LINE:" (or "FILE:" when a file could
    // not be read as a whole), empty when it lies in no file.
    const std::string& errorLocation() const { return where; }
    // The same place as a file and a line ("" and 0 when the error lies in no
    // file; line 0 when a file could not be read as a whole).
    const std::string& errorFile() const { return errorAtFile; }
    int errorLine() const { return errorAtLine; }

    int defineCount() const { return defines.count(); }

    // What the parse noticed, in the order found: a signal that took the next
    // line's words (or a name defined only later) as its arguments, and,
    // after an error that counts events ("line #: 9"), where that event is.
    // A fatal error writes them on stderr after its own line.
    const std::vector<ScriptNote>& notes() const { return noteList; }

private:
    void parse(const char* path);
    // A file's text after substitution, the line of the file each of its
    // lines came from, and the file as written (for messages).
    struct ParsedFile {
        std::string text;
        std::vector<int> lines;
        std::string raw;
    };

    // `includedFile` and `includedLine`: where the INCLUDE that names this file
    // stands ("" for the script itself); a copy, as the include chain it may
    // come from grows here.
    void parseFile(std::string_view name, std::string includedFile, int includedLine);
    void preprocess(std::string_view raw, std::string& out, std::vector<int>& lines);
    void substitute(std::string_view in, std::string& out) const;
    void readHeader(ScriptReader& reader);
    void readSetup(ScriptReader& reader);
    void readTimeline(ScriptReader& reader);
    // `value`: the word read as the first argument (empty when none).
    bool readSignal(ScriptReader& reader, ScriptEvent& event, bool wholeLine, std::string_view& value);
    // Notes a signal whose first argument came from a later line than the
    // event, and keeps text signals for noteLateDefines.
    void noteSignal(const ScriptEvent& event, std::string_view value, bool wholeLine);
    // Notes text arguments that name a define made after their file was read.
    void noteLateDefines();
    // Notes, beside an error that counts events, the file line of that event.
    void noteEventCount(const char* text, int number);
    // Notes, beside "event not recognized", the word it stopped at: the
    // event word `what`, or the first of its fields (read from `fields`, the
    // reader right after `what`) that is not a number.
    void noteUnrecognised(std::string_view what, ScriptReader fields, bool timeline);
    int readExpression(ScriptReader& reader, std::string_view first);

    void fail(const char* text);
    void failNumbered(const char* text, int number);
    void failNamed(const char* text, std::string_view name);
    // Notes where the error about to be reported lies: the line of the file
    // being read that holds `word` (a view into its text).
    void locate(std::string_view word);
    // The line of the file being read that holds `word`, 0 when none does.
    int lineOfWord(std::string_view word) const;
    // `text`: the line as written, or what went wrong with the file.
    void locate(const std::string& file, int line, const std::string& text);

    ScriptSource* source;
    ErrorMode mode;
    int maxFileParses;

    std::map<std::string, ParsedFile> parsedFiles; // by file name
    const ParsedFile* readingFile = nullptr;        // whose sections are being read
    std::string readingName;
    const char* readingKey = nullptr; // readingName as kept in parsedFiles, for the events' file
    ScriptDefines defines;
    std::vector<ScriptEvent*> timelineEvents;
    std::vector<ScriptEvent*> setupList;
    int demoStartMs = 0;
    int timeOffsetMs = 0; // shared by every file of the script

    std::vector<ScriptNote> noteList;
    std::vector<const ScriptEvent*> textSignals; // checked against the defines at the end
    std::vector<std::string> includeChain; // files being parsed, outermost first
    int fileParses = 0;
    bool failed = false;
    std::string error;
    std::string where;
    std::string errorAtFile;
    int errorAtLine = 0;
};
