// The parser's errors end the process with exit code 1 and the exact message,
// after a line naming the file and the line in it, whether the script comes
// from memory or from disk through the file layer.

#include "ScriptTestSupport.h"
#include "support/ProductionScript.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

void parseFatal(const char* mainText, const char* includeText)
{
    MemoryScriptSource source;
    source.addFile("main.scr", mainText);
    if (includeText)
        source.addFile("inc.scr", includeText);
    Script script("main.scr", source, Script::ErrorMode::Fatal);
}

// A script file on disk in the test's working directory, removed at the end.
// The name is fixed: a death test's child runs the test again and ends
// without removing what it wrote, so it must write the parent's files.
struct DiskFile {
    std::string path;
    DiskFile(const std::string& stem, const std::string& text)
        : path(stem + ".scr")
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    ~DiskFile() { std::remove(path.c_str()); }
};

} // namespace

TEST(ScriptFatal, ErrorsExitWithTheirMessage)
{
    struct Case {
        const char* main;
        const char* include;
        const char* stderrText;
    };
    const Case cases[] = {
        {"SETUP\n0 START 3\n", nullptr, "main.scr:2: 0 START 3\nerror: script: event not recognized in setup line #: 1\n"
         "main.scr:2: note: \"START\" is not a setup event word: SIGNAL or SET_LAYER (or s, l)\n"
         "main.scr:2: note: \"line #: 1\" counts the events of the setup, not the lines of the file: this is line 2\n"},
        {"SETUP\n0 l 1 1\n7 l 1 1\n", nullptr, "main.scr:3: 7 l 1 1\nerror: script: not a valid time (should be 0) in setup line #: 2\n"
         "main.scr:3: note: \"line #: 2\" counts the events of the setup, not the lines of the file: this is line 3\n"},
        {"SETUP\nTIMELINE\n1000 START 1\n0 START 1\n", nullptr,
         "main.scr:4: 0 START 1\nerror: script: not a valid(1-maxtime) time in timeline line #: 2\n"
         "main.scr:4: note: \"line #: 2\" counts the events of the timeline, not the lines of the file: this is line 4\n"},
        {"SETUP\nTIMELINE\n1000 +500 START 7\n", nullptr,
         "main.scr:3: 1000 +500 START 7\nerror: script: event not recognized in timeline line #: 1\n"
         "main.scr:3: note: \"7\" is not an event word: START, END, INIT, SIGNAL, SET_LAYER or END_DEMO (or b, e, i, s, l)\n"
         "main.scr:3: note: \"line #: 1\" counts the events of the timeline, not the lines of the file: this is line 3\n"},
        {"INCLUDE missing.scr\n", nullptr,
         "main.scr:1: could not read the included file missing.scr\nerror: script: could not open file for parsing\n"},
        {"INCLUDE inc.scr\n", "INCLUDE main.scr\n", "error: script: file includes itself: main.scr\n"},
        // The error lands past the signal that took its keyword: both are named, after the error.
        {"SETUP\nTIMELINE\n1000 SIGNAL 50 98\nTIMEOFFSET 2000\n1 START 50\n", nullptr,
         "main.scr:4: TIMEOFFSET 2000\nerror: script: event not recognized in timeline line #: 2\n"
         "main.scr:3: note: signal 98 to 50 took \"TIMEOFFSET\" as its text argument; codes without arguments "
         "need none, but a following keyword is read as one\n"
         "main.scr:4: note: \"1\" is not an event word: START, END, INIT, SIGNAL, SET_LAYER or END_DEMO (or b, e, i, s, l)\n"
         "main.scr:4: note: \"line #: 2\" counts the events of the timeline, not the lines of the file: this is line 4\n"},
        // The same in the setup, where a signal takes one word only.
        {"SETUP\n0 s 63 8\n0 l 50 5\n", nullptr,
         "main.scr:3: 0 l 50 5\nerror: script: event not recognized in setup line #: 2\n"
         "main.scr:2: note: signal 8 to 63 took \"0\" of line 3 as its arguments; codes without arguments need none, "
         "but the next line's numbers are read as them\n"
         "main.scr:3: note: \"50\" is not a setup event word: SIGNAL or SET_LAYER (or s, l)\n"
         "main.scr:3: note: \"line #: 2\" counts the events of the setup, not the lines of the file: this is line 3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.main);
        EXPECT_EXIT(parseFatal(c.main, c.include), testing::ExitedWithCode(1), testing::Eq(c.stderrText));
    }
}

TEST(ScriptFatal, ParsesFilesOnDiskThroughTheFileLayer)
{
    std::string stem = "script_fatal_test";
    DiskFile inc(stem + "_inc", "SETUP\n0 l 3 1\r\nTIMELINE\r\n2000 START 3\r\n");
    DiskFile main(stem, "INCLUDE " + inc.path + "\r\nSETUP\r\nTIMELINE\r\n1000 END 3\r\n");
    Script script(main.path.c_str());
    EXPECT_EQ(describeAll(script.setupEvents()), (std::vector<std::string>{"0 layer 3 -> 1"}));
    EXPECT_EQ(describeAll(script.timeline()), (std::vector<std::string>{"1000 stop 3", "2000 start 3"}));

    DiskFile bad(stem + "_bad", "SETUP\r\nTIMELINE\r\n1000 START 1\r\n2000 FOO 1\r\n");
    EXPECT_EXIT(Script(bad.path.c_str()), testing::ExitedWithCode(1),
                testing::Eq(bad.path + ":4: 2000 FOO 1\nerror: script: event not recognized in timeline line #: 2\n" +
                            bad.path + ":4: note: \"FOO\" is not an event word: START, END, INIT, SIGNAL, SET_LAYER or END_DEMO (or b, e, i, s, l)\n" +
                            bad.path + ":4: note: \"line #: 2\" counts the events of the timeline, not the lines of "
                                       "the file: this is line 4\n"));
    EXPECT_EXIT(Script("data/no_such_script.scr"), testing::ExitedWithCode(1),
                testing::Eq("data/no_such_script.scr: could not be read\nerror: script: could not open file for parsing\n"));
}

// The sample production's source parses, and every script file beside it is
// read: a section file that nothing includes is a part of the show that
// never plays.
TEST(ScriptFatal, SampleProductionScriptParsesAndIncludesEveryFile)
{
    ProductionScript production;
    ASSERT_GT(production.source.files.size(), 1u);
    EXPECT_TRUE(production.script->ok()) << production.script->errorLocation() << production.script->errorText();
    EXPECT_FALSE(production.script->timeline().empty());
    EXPECT_EQ(production.source.reads, static_cast<int>(production.source.files.size()));
    // No signal of the show swallows what follows it.
    for (const ScriptNote& note : production.script->notes())
        ADD_FAILURE() << formatScriptNote(note);
}

TEST(ScriptFatal, ScriptCutAfterAnyWordFailsOnlyInsideAnEvent)
{
    // One script, cut after every word of every line. A cut inside an event
    // (its time read, a field missing) is that event's "not recognized"
    // error; a cut anywhere else leaves a shorter script that parses. A
    // DEFINE or an expression cut short is not an error: the define is
    // dropped, the expression ends.
    struct Line {
        const char* text;
        const char* section; // "setup" or "timeline" for an event line, else null
        int event;           // its number within the section
        int words;           // words up to which the event is still incomplete
    };
    const Line lines[] = {
        {"DEFINE FX 3", nullptr, 0, 0},
        {"DEMOSTART 60000 - 5000", nullptr, 0, 0},
        {"SETUP", nullptr, 0, 0},
        {"0 l FX 1", "setup", 1, 3},
        {"0 s FX 70 3", "setup", 2, 4},
        {"0 SIGNAL 40 71 hello", "setup", 3, 4},
        {"TIMELINE", nullptr, 0, 0},
        {"TIMEOFFSET 500", nullptr, 0, 0},
        {"1000 START FX", "timeline", 1, 2},
        {"1000 + 500 s FX 206 0 255 9", "timeline", 2, 6},
        {"2000 i FX", "timeline", 3, 2},
        {"3000 END_DEMO", "timeline", 4, 1},
    };
    std::string before;
    int cuts = 0;
    for (const Line& line : lines) {
        std::vector<std::string> words;
        for (const char* p = line.text; *p;) {
            const char* end = std::strchr(p, ' ');
            words.emplace_back(p, end ? size_t(end - p) : std::strlen(p));
            p = end ? end + 1 : p + std::strlen(p);
        }
        std::string text = before;
        for (size_t w = 0; w < words.size(); ++w) {
            text += (w ? " " : "") + words[w];
            ParsedScript parsed(text + "\r\n");
            std::string expected;
            if (line.section && int(w) + 1 <= line.words)
                expected = std::string("script: event not recognized in ") + line.section + " line #: " +
                           std::to_string(line.event);
            EXPECT_EQ(parsed.error(), expected) << "cut after: " << text;
            ++cuts;
        }
        before += std::string(line.text) + "\r\n";
    }
    EXPECT_EQ(cuts, 42);
    // The whole script, for comparison.
    ParsedScript whole(before);
    EXPECT_EQ(whole.timeline(), (std::vector<std::string>{"1500 start 3", "2000 signal 3 206 (0 255 9) +500",
                                                          "2500 init 3", "3500 end_demo"}));
}

TEST(ScriptFatal, DirectoriesEmptyFilesAndHugeNumbers)
{
    // A directory in place of a script cannot be read, like a missing file.
    std::string dir = "script_dir.scr";
    // (Already there when a death test's child runs the test again.)
    ASSERT_TRUE(mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST);
    EXPECT_EXIT(Script(dir.c_str()), testing::ExitedWithCode(1),
                testing::Eq(dir + ": could not be read\nerror: script: could not open file for parsing\n"));
    DiskFile includer("script_includes_dir", "INCLUDE " + dir + "\r\nSETUP\r\n");
    EXPECT_EXIT(Script(includer.path.c_str()), testing::ExitedWithCode(1),
                testing::Eq(includer.path + ":1: could not read the included file " + dir +
                            "\nerror: script: could not open file for parsing\n"));
    rmdir(dir.c_str());

    // An empty script is a script without events: nothing to show, nothing wrong.
    DiskFile empty("script_empty", "");
    Script nothing(empty.path.c_str());
    EXPECT_TRUE(nothing.timeline().empty());
    EXPECT_TRUE(nothing.setupEvents().empty());

    // Ids, codes and layers beyond 32 bits are not numbers, and the note says
    // which; nothing else is said.
    struct Case {
        const char* text;
        const char* stderrText;
    };
    const Case cases[] = {
        {"SETUP\n0 l 4294967296 1\n", "main.scr:2: 0 l 4294967296 1\nerror: script: event not recognized in setup line #: 1\n"
                                         "main.scr:2: note: \"l\" needs an effect id (a 32-bit whole number) where \"4294967296\" stands\n"
                                         "main.scr:2: note: \"line #: 1\" counts the events of the setup, not the lines of the file: this is line 2\n"},
        {"SETUP\n0 l 3 -99999999999\n", "main.scr:2: 0 l 3 -99999999999\nerror: script: event not recognized in setup line #: 1\n"
                                            "main.scr:2: note: \"l\" needs a layer (a 32-bit whole number) where \"-99999999999\" stands\n"
                                            "main.scr:2: note: \"line #: 1\" counts the events of the setup, not the lines of the file: this is line 2\n"},
        {"SETUP\nTIMELINE\n1000 s 3 99999999999 1\n", "main.scr:3: 1000 s 3 99999999999 1\nerror: script: event not recognized in timeline line #: 1\n"
         "main.scr:3: note: \"s\" needs a signal code (a 32-bit whole number) where \"99999999999\" stands\n"
         "main.scr:3: note: \"line #: 1\" counts the events of the timeline, not the lines of the file: this is line 3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EXIT(parseFatal(c.text, nullptr), testing::ExitedWithCode(1), testing::Eq(c.stderrText));
    }
}
