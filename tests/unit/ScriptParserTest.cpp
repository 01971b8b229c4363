// The script language: sections, events and their short forms, numbers and
// expressions, defines, comments, includes, the order of the timeline, and
// the errors with their event numbers.

#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

TEST(ScriptParser, ExampleScript)
{
    ParsedScript p("DEFINE SCENE 3\n"
                   "DEMOSTART 60000 - 5000\n"
                   "SETUP\n"
                   "0 SET_LAYER SCENE 0\n"
                   "0 s 40 70 3\n"
                   "TIMELINE\n"
                   "TIMEOFFSET 50000\n"
                   "5000 START SCENE\n"
                   "5000 s 40 206 0 0 0 255 0 1000\n"
                   "20000 END_DEMO\n");
    ASSERT_TRUE(p.script->ok()) << p.error();
    EXPECT_EQ(p.script->demoStart(), 55000);
    EXPECT_EQ(p.setup(), (Lines{"0 layer 3 -> 0", "0 signal 40 70 (3)"}));
    EXPECT_EQ(p.timeline(), (Lines{"55000 start 3", "55000 signal 40 206 (0 0 0 255 0 1000) +50000",
                                   "70000 end_demo"}));
    const ScriptEvent& layer = *p.script->setupEvents()[0];
    EXPECT_EQ(layer.args.count, 1);
    EXPECT_EQ(layer.args.args[0], 0);
}

struct LineCase {
    const char* text;
    Lines events;      // expected when the script parses
    const char* error; // expected error text, or null
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class SetupLines : public testing::TestWithParam<LineCase> {};

TEST_P(SetupLines, Parse)
{
    const LineCase& c = GetParam();
    ParsedScript p(std::string("SETUP\n") + c.text + "\nTIMELINE\n");
    EXPECT_EQ(p.error(), c.error ? c.error : "");
    if (!c.error) {
        EXPECT_EQ(p.setup(), c.events);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Script, SetupLines,
    testing::Values(
        LineCase{"0 s 10 100 255", {"0 signal 10 100 (255)"}, nullptr},
        LineCase{"0 s 10 100 hello", {"0 signal 10 100 'hello'"}, nullptr},
        LineCase{"0 s 10 100 0", {"0 signal 10 100 (0)"}, nullptr},
        LineCase{"0 SIGNAL 10 100 -0", {"0 signal 10 100 '-0'"}, nullptr},
        LineCase{"0 s 10 100 +7", {"0 signal 10 100 (7)"}, nullptr},
        LineCase{"0 s 10 100 //x", {"0 signal 10 100 '//x'"}, nullptr},
        LineCase{"0 l 3 2\n0 SET_LAYER 4 15", {"0 layer 3 -> 2", "0 layer 4 -> 15"}, nullptr},
        // The time word only has to come out 0 by atoi.
        LineCase{"zero l 3 2", {"0 layer 3 -> 2"}, nullptr},
        // Only one value: the next word is read as the next event's time.
        LineCase{"0 s 10 203 1 2 3", {}, "script: not a valid time (should be 0) in setup line #: 2"},
        LineCase{"5 s 10 100 1", {}, "script: not a valid time (should be 0) in setup line #: 1"},
        LineCase{"0 l 1 1\n0 START 3", {}, "script: event not recognized in setup line #: 2"},
        LineCase{"0 l 1 1\n0 l 1 1\n0 l x 2", {}, "script: event not recognized in setup line #: 3"},
        LineCase{"0 s 10", {}, "script: event not recognized in setup line #: 1"}));

class TimelineLines : public testing::TestWithParam<LineCase> {};

TEST_P(TimelineLines, Parse)
{
    const LineCase& c = GetParam();
    ParsedScript p(std::string("SETUP\nTIMELINE\n") + c.text);
    EXPECT_EQ(p.error(), c.error ? c.error : "");
    if (!c.error) {
        EXPECT_EQ(p.timeline(), c.events);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Times, TimelineLines,
    testing::Values(
        LineCase{"1000 + 500 START 7", {"1500 start 7"}, nullptr},
        // "+500" is the operator, START its operand (0), and 7 the event word.
        LineCase{"1000 +500 START 7", {}, "script: event not recognized in timeline line #: 1"},
        LineCase{"100 * 3 / 2 b 1", {"150 start 1"}, nullptr},
        LineCase{"2 + 3 * 4 b 1", {"20 start 1"}, nullptr},
        LineCase{"-7 / 2 b 1", {"-3 start 1"}, nullptr},
        LineCase{"-100 START 1", {"-100 start 1"}, nullptr},
        LineCase{"1000abc START 1", {"1000 start 1"}, nullptr},
        LineCase{"0 START 1", {}, "script: not a valid(1-maxtime) time in timeline line #: 1"},
        LineCase{"5 b 1\n500 - 500 START 1", {}, "script: not a valid(1-maxtime) time in timeline line #: 2"},
        LineCase{"TIMEOFFSET -1000\n1000 START 1", {}, "script: not a valid(1-maxtime) time in timeline line #: 1"},
        // Open cases: division by zero gives 0, overflow wraps, atoi saturates.
        LineCase{"5 / 0 START 1", {}, "script: not a valid(1-maxtime) time in timeline line #: 1"},
        LineCase{"5 / 0 + 9 START 1", {"9 start 1"}, nullptr},
        LineCase{"2147483647 + 1 START 1", {"-2147483648 start 1"}, nullptr},
        LineCase{"-2147483648 / -1 START 1", {"-2147483648 start 1"}, nullptr},
        LineCase{"99999999999 START 1", {"2147483647 start 1"}, nullptr},
        LineCase{"t 2147483647\n1 START 1", {"-2147483648 start 1"}, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    Events, TimelineLines,
    testing::Values(
        LineCase{"1 b 1\n2 e 2\n3 i 3\n4 l 4 5\n5 END_DEMO\n6 s 7 8 9",
                 {"1 start 1", "2 stop 2", "3 init 3", "4 layer 4 -> 5", "5 end_demo", "6 signal 7 8 (9)"},
                 nullptr},
        LineCase{"1 START 1\n2 END 2\n3 INIT 3\n4 SET_LAYER 4 5\n6 SIGNAL 7 8 9",
                 {"1 start 1", "2 stop 2", "3 init 3", "4 layer 4 -> 5", "6 signal 7 8 (9)"}, nullptr},
        LineCase{"1000 FOO 1", {}, "script: event not recognized in timeline line #: 1"},
        LineCase{"1000 START", {}, "script: event not recognized in timeline line #: 1"},
        LineCase{"1000", {}, "script: event not recognized in timeline line #: 1"},
        LineCase{"1000 START SCENE", {}, "script: event not recognized in timeline line #: 1"},
        LineCase{"1000 START 99999999999", {}, "script: event not recognized in timeline line #: 1"},
        // Ids are read like stream extraction: digits end the number, the
        // rest of the word is the next word.
        LineCase{"1000 START 7abc", {}, "script: not a valid(1-maxtime) time in timeline line #: 2"},
        // Trailing comments: "//" is read as the next event's time word.
        LineCase{"1000 START 7 // started", {}, "script: not a valid(1-maxtime) time in timeline line #: 2"},
        LineCase{"t 100\n1000 START 7 // started", {}, "script: event not recognized in timeline line #: 2"},
        LineCase{"1000 START 1\nLINETIME\n2000 FOO", {"1000 start 1"}, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    Signals, TimelineLines,
    testing::Values(
        LineCase{"1000 s 40 206 0 0 0 255 0 1000", {"1000 signal 40 206 (0 0 0 255 0 1000)"}, nullptr},
        LineCase{"1000 s 40 206 1 foo 2 -3 0 bar 4x", {"1000 signal 40 206 (1 2 -3 0 4)"}, nullptr},
        LineCase{"1000 s 40 50 scene.vsc", {"1000 signal 40 50 'scene.vsc'"}, nullptr},
        LineCase{"1000 s 40 1 hello world", {}, "script: not a valid(1-maxtime) time in timeline line #: 2"},
        LineCase{"1000 s 40 1 1 2 3 4 5 6 7 8 9 10 11 12", {"1000 signal 40 1 (1 2 3 4 5 6 7 8 9 10 ...12)"},
                 nullptr},
        LineCase{"1000 s 40 1 5\n2000 s 40 2 6", {"1000 signal 40 1 (5)", "2000 signal 40 2 (6)"}, nullptr},
        LineCase{"t 300\n1000 s 40 1 p1201", {"1300 signal 40 1 'p1201' +300"}, nullptr}));

TEST(ScriptParser, EqualTimesKeepTheirOrder)
{
    ParsedScript p("SETUP\nTIMELINE\n"
                   "300 START 1\n100 START 2\n300 s 3 4 5\n100 START 4\n-5 START 5\n300 END 6\n100 END_DEMO\n");
    EXPECT_EQ(p.timeline(), (Lines{"-5 start 5", "100 start 2", "100 start 4", "100 end_demo", "300 start 1",
                                   "300 signal 3 4 (5)", "300 stop 6"}));
}

TEST(ScriptParser, HeaderKeepsOnlyDemoStart)
{
    ParsedScript p("this header says START 7 and 0 START 1\nDEMOSTART 20 * 3 - 5\nTIMELINE\nSETUP\n0 l 1 2\n");
    EXPECT_EQ(p.script->demoStart(), 55);
    EXPECT_EQ(p.setup(), (Lines{"0 layer 1 -> 2"}));
    EXPECT_TRUE(p.script->timeline().empty());

    ParsedScript none("0 l 1 2\nTIMELINE\n1000 START 1\n");
    EXPECT_EQ(none.script->demoStart(), 0);
    EXPECT_TRUE(none.script->setupEvents().empty());
    EXPECT_TRUE(none.script->timeline().empty());
}

TEST(ScriptParser, DefinesApplyToWholeFileOnceAndFirstEntryWins)
{
    ParsedScript p("DEFINE SCENE 3\n"
                   "DEFINE true 5\n"
                   "d A B\n"
                   "d B 5\n"
                   "d X 1\n"
                   "d X 2\n"
                   "SETUP\n"
                   "0 l SCENE LAYER\n" // LAYER is defined below
                   "0 s 1 2 true\n"
                   "0 s 1 2 false\n"
                   "0 s 1 2 dummy\n"
                   "0 s 1 2 A\n"     // single pass: A -> B, not 5
                   "0 s 1 2 X\n"
                   "0 s 1 2 SCENES\n" // whole words only
                   "TIMELINE\n"
                   "1000 START SCENE\n"
                   "d LAYER 4\n");
    ASSERT_TRUE(p.script->ok()) << p.error();
    EXPECT_EQ(p.setup(), (Lines{"0 layer 3 -> 4", "0 signal 1 2 (1)", "0 signal 1 2 (0)", "0 signal 1 2 (99)",
                                "0 signal 1 2 'B'", "0 signal 1 2 (1)", "0 signal 1 2 'SCENES'"}));
    EXPECT_EQ(p.timeline(), (Lines{"1000 start 3"}));
}

TEST(ScriptParser, DefineTableHoldsFourHundredEntries)
{
    std::string text;
    for (int i = 0; i < 397; ++i)
        text += "d N" + std::to_string(i) + " " + std::to_string(i) + "\n";
    text += "d LAST 7\nSETUP\n0 s 1 2 N396\n0 s 1 2 LAST\n";
    ParsedScript p(text);
    EXPECT_EQ(p.script->defineCount(), 400);
    EXPECT_EQ(p.setup(), (Lines{"0 signal 1 2 (396)", "0 signal 1 2 'LAST'"}));

    // A DEFINE cut short by the end of the file is ignored.
    ParsedScript cutShort("d LONELY");
    EXPECT_TRUE(cutShort.script->ok());
    EXPECT_EQ(cutShort.script->defineCount(), 3);
}

TEST(ScriptParser, CommentsStartOnlyAtTheFirstWordOfALine)
{
    ParsedScript p("// a comment line with SETUP in it\n"
                   "/* a block\n"
                   "SETUP inside the block\n"
                   "*/ the closing line is dropped too\n"
                   "SETUP\n"
                   "0 l 1 1\n"
                   "   // indented comment\n"
                   "/* one-line block */\n"
                   "0 l 2 2\n" // still inside: the block ends only at a line starting with */
                   "*/\n"
                   "0 l 3 3\n"
                   "0 s 4 5 /*x\n"
                   "TIMELINE\n");
    ASSERT_TRUE(p.script->ok()) << p.error();
    EXPECT_EQ(p.setup(), (Lines{"0 layer 1 -> 1", "0 layer 3 -> 3", "0 signal 4 5 '/*x'"}));
}

TEST(ScriptParser, IncludesJoinDefinesEventsAndOffsets)
{
    ParsedScript p({
        {"main.scr", "DEFINE A 1\n"
                     "INCLUDE inc.scr 0 l 5 5\n" // the rest of the line is read on
                     "DEMOSTART 60000 - 5000\n"
                     "SETUP\n"
                     "0 l A B\n"
                     "TIMELINE\n"
                     "TIMEOFFSET 1000\n"
                     "100 START A\n"
                     "INCLUDE tl.scr\n"
                     "100 START 9\n"},
        {"inc.scr", "d B 2\nDEMOSTART 1\nSETUP\n0 l A 7\nTIMELINE\n5 START A\n"},
        {"tl.scr", "SETUP\n0 s 1 2 3\nTIMELINE\n100 START 8\nt 2000\nLINETIME\n100 START 99\n"},
    });
    ASSERT_TRUE(p.script->ok()) << p.error();
    // The includer's DEMOSTART is read after the included file's.
    EXPECT_EQ(p.script->demoStart(), 55000);
    // inc.scr sees main's A (defined before the INCLUDE); main sees inc's B.
    // "0 l 5 5" lands in main's header and is ignored.
    EXPECT_EQ(p.setup(), (Lines{"0 layer 1 -> 7", "0 layer 1 -> 2", "0 signal 1 2 (3)"}));
    // The time offset is shared: tl.scr starts with main's and leaves its own.
    EXPECT_EQ(p.timeline(), (Lines{"5 start 1", "1100 start 1", "1100 start 8", "2100 start 9"}));
}

TEST(ScriptParser, FileIncludedTwiceIsReadOnceAndContributesTwice)
{
    ParsedScript p({
        {"main.scr", "SETUP\nTIMELINE\nt 1000\nINCLUDE flash.scr\nt 5000\nINCLUDE flash.scr\n"},
        {"flash.scr", "d FLASH 63\nSETUP\n0 l FLASH 2\nTIMELINE\n1 START FLASH\n400 END FLASH\n"},
    });
    ASSERT_TRUE(p.script->ok()) << p.error();
    EXPECT_EQ(p.source.reads, 2);
    EXPECT_EQ(p.script->defineCount(), 4);
    EXPECT_EQ(p.setup(), (Lines{"0 layer 63 -> 2", "0 layer 63 -> 2"}));
    EXPECT_EQ(p.timeline(), (Lines{"1001 start 63", "1400 stop 63", "5001 start 63", "5400 stop 63"}));
}

TEST(ScriptParser, IncludeFailures)
{
    struct Case {
        std::initializer_list<std::pair<const std::string, std::string>> files;
        const char* error;
    };
    const Case cases[] = {
        {{{"main.scr", "INCLUDE missing.scr\nSETUP\n"}}, "script: could not open file for parsing"},
        {{{"main.scr", "SETUP\nTIMELINE\nINCLUDE"}}, "script: could not open file for parsing"},
        {{{"main.scr", "INCLUDE main.scr\nSETUP\n"}}, "script: file includes itself: main.scr"},
        {{{"main.scr", "SETUP\nTIMELINE\nINCLUDE a.scr\n"}, {"a.scr", "INCLUDE b.scr\n"},
          {"b.scr", "SETUP\nTIMELINE\n1 b 1\nINCLUDE a.scr\n"}},
         "script: file includes itself: a.scr"},
        // Event numbers count within the included file.
        {{{"main.scr", "SETUP\nTIMELINE\n1 b 1\n2 b 2\n3 b 3\nINCLUDE bad.scr\n"},
          {"bad.scr", "SETUP\n0 l 1 1\nTIMELINE\n1 b 1\n0 b 2\n"}},
         "script: not a valid(1-maxtime) time in timeline line #: 2"},
    };
    for (const Case& c : cases) {
        ParsedScript p(c.files);
        EXPECT_EQ(p.error(), c.error);
    }
}

// Beside the message that counts events, the error names the line of the
// file as written: comments, defines, includes and blank lines do not count
// as events, and an event may run over several lines.
TEST(ScriptParser, ErrorsNameTheirFileAndLine)
{
    struct Case {
        std::initializer_list<std::pair<const std::string, std::string>> files;
        const char* error;
        const char* where;
    };
    const Case cases[] = {
        {{{"main.scr", "// a show\nDEFINE FLASH 63\n\nSETUP\n0 l FLASH 14\n/* block\n*/ end\n0 x 1\n"}},
         "script: event not recognized in setup line #: 2", "main.scr:8:"},
        {{{"main.scr", "SETUP\n0 l 1 1\n\n5 l 2 2\nTIMELINE\n"}},
         "script: not a valid time (should be 0) in setup line #: 2", "main.scr:4:"},
        {{{"main.scr", "SETUP\nTIMELINE\n100\n  START 1\n// x\n200 - 200 START 2\n"}},
         "script: not a valid(1-maxtime) time in timeline line #: 2", "main.scr:6:"},
        {{{"main.scr", "SETUP\nTIMELINE\n1 b 1\nINCLUDE part.scr\n9 b 9\n"},
          {"part.scr", "d E 7\nSETUP\nTIMELINE\n// one\n10 b E\n\n20 STRAT E\n"}},
         "script: event not recognized in timeline line #: 2", "part.scr:7:"},
        {{{"main.scr", "// top\nINCLUDE gone.scr\nSETUP\n"}}, "script: could not open file for parsing", "main.scr:2:"},
        {{{"main.scr", "SETUP\nTIMELINE\n1 b 1\n\nINCLUDE gone.scr\n"}}, "script: could not open file for parsing",
         "main.scr:5:"},
        {{{"other.scr", ""}}, "script: could not open file for parsing", "main.scr:"},
    };
    for (const Case& c : cases) {
        ParsedScript p(c.files);
        EXPECT_EQ(p.error(), c.error);
        EXPECT_EQ(p.script->errorLocation(), c.where) << c.error;
    }
}

// "event not recognized" keeps its text; the first note beside it names the
// word the event stopped at.
TEST(ScriptParser, UnrecognisedEventsNameTheWordTheyStoppedAt)
{
    const std::pair<const char*, const char*> cases[] = {
        {"SETUP\nTIMELINE\n1 b 1\n\n1000 STRAT 7\n",
         "main.scr:5: note: \"STRAT\" is not an event word: START, END, INIT, SIGNAL, SET_LAYER or END_DEMO "
         "(or b, e, i, s, l)"},
        {"SETUP\n0 START 3\n", "main.scr:2: note: \"START\" is not a setup event word: SIGNAL or SET_LAYER (or s, l)"},
        {"SETUP\nTIMELINE\n1000 START SCENE\n",
         "main.scr:3: note: \"START\" needs an effect id (a 32-bit whole number) where \"SCENE\" stands"},
        {"SETUP\nTIMELINE\n1000 l 3 99999999999\n",
         "main.scr:3: note: \"l\" needs a layer (a 32-bit whole number) where \"99999999999\" stands"},
        {"SETUP\n0 s 10", "main.scr:2: note: \"s\" needs a signal code: the file ends first"},
        {"SETUP\nTIMELINE\n1000 s 3 70", "main.scr:3: note: \"s\" needs a value after its signal code: the file ends first"},
        {"SETUP\nTIMELINE\n1000", "main.scr:3: note: the file ends before the event's word"},
    };
    for (const auto& [script, note] : cases) {
        const std::string text = script;
        ParsedScript p(text);
        EXPECT_EQ(p.error().rfind("script: event not recognized in ", 0), 0u) << p.error();
        ASSERT_FALSE(p.script->notes().empty()) << script;
        EXPECT_EQ(formatScriptNote(p.script->notes().front()), note);
    }
}

TEST(ScriptParser, NotesSignalsThatTookWhatFollowedThem)
{
    // The parse stays as it was; the notes say which signal took what (a
    // keyword taken is the fatal test's: the next event then fails).
    ParsedScript p({{"main.scr", "DEFINE BAR 2000\nSETUP\n0 l 50 5\nTIMELINE\n"
                                 "1 s 50 97\n\n2 * BAR s 0 200 1 2 3\n"
                                 "3000 s 3 70 FLASH\n4000 s 50 110 title.png\n5000 s 0 200 7 8 9\n"
                                 "INCLUDE late.scr\n"},
                    {"late.scr", "DEFINE FLASH 63\nSETUP\nTIMELINE\n"}});
    ASSERT_TRUE(p.script->ok()) << p.error();
    std::vector<std::string> notes;
    for (const ScriptNote& note : p.script->notes())
        notes.push_back(formatScriptNote(note));
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "main.scr:5: note: signal 97 to 50 took \"2 * BAR s 0 200 1 2 3\" of line 7 as its "
                         "arguments; codes without arguments need none, but the next line's numbers are read as them",
                         "main.scr:8: note: signal 70 to 3 took \"FLASH\" as its text argument: that name is "
                         "defined only after this file was read, so its value was not put in",
                     }));
}

TEST(ScriptParser, IncludesMultiplyingEachOtherAreBounded)
{
    // main includes b three times, b includes c three times: 13 file parses.
    auto files = {
        std::pair<const std::string, std::string>{"main.scr", "SETUP\nTIMELINE\nINCLUDE b\nINCLUDE b\nINCLUDE b\n"},
        std::pair<const std::string, std::string>{"b", "SETUP\nTIMELINE\nINCLUDE c\nINCLUDE c\nINCLUDE c\n"},
        std::pair<const std::string, std::string>{"c", "SETUP\nTIMELINE\n1 START 1\n"},
    };
    ParsedScript enough(files, 13);
    EXPECT_TRUE(enough.script->ok()) << enough.error();
    EXPECT_EQ(enough.script->timeline().size(), 9u);
    ParsedScript tooMany(files, 12);
    EXPECT_EQ(tooMany.error(), "script: too many includes: 12");
}

TEST(ScriptParser, LongWordsAreCutWhereKeptAndLongLinesReadWhole)
{
    std::string x150(150, 'x'), y150(150, 'y'), z150(150, 'z');
    std::string args;
    for (int i = 0; i < 200; ++i)
        args += " " + std::to_string(i + 1);
    ParsedScript p("DEFINE " + x150 + " " + y150 + "\nSETUP\n0 s 1 2 " + std::string(99, 'x') + "\n0 s 1 2 " +
                   z150 + "\nTIMELINE\n1000 s 1 2" + args + "\n2000 START 3\n");
    ASSERT_TRUE(p.script->ok()) << p.error();
    ASSERT_EQ(p.script->setupEvents().size(), 2u);
    EXPECT_EQ(std::string(p.script->setupEvents()[0]->args.text), std::string(99, 'y'));
    EXPECT_EQ(std::string(p.script->setupEvents()[1]->args.text), std::string(99, 'z'));
    ASSERT_EQ(p.script->timeline().size(), 2u);
    const SignalArgs& a = p.script->timeline()[0]->args;
    EXPECT_EQ(a.count, 200);
    EXPECT_EQ(a.args[9], 10);
    EXPECT_EQ(describe(*p.script->timeline()[1]), "2000 start 3");
}

TEST(SignalArgs, CopyPointsAtItsOwnArguments)
{
    SignalArgs a;
    a.code = 203;
    a.addArg(5);
    a.setText("abc", 3);
    SignalArgs b(a);
    SignalArgs c;
    c = a;
    EXPECT_EQ(b.argPointer, b.args);
    EXPECT_EQ(c.argPointer, c.args);
    EXPECT_EQ(b.argPointer[0], 5);
    EXPECT_STREQ(c.text, "abc");
    EXPECT_EQ(c.count, 1);
}

// Events and errors name the file and the line on disk they were written on,
// past comments, defines, events split over lines and includes.
TEST(ScriptParser, PlacesOnDisk)
{
    ParsedScript p({{"main.scr", "// header\n"
                                 "DEFINE A 5\n"
                                 "SETUP\n"
                                 "/* a block\n"
                                 "still comment\n"
                                 "*/\n"
                                 "0 SET_LAYER A 1\n"
                                 "TIMELINE\n"
                                 "100\n"
                                 "START A\n"
                                 "INCLUDE part.scr\n"
                                 "300 END_DEMO\n"},
                    {"part.scr", "SETUP\nTIMELINE\n\n200 START 6\n"}});
    ASSERT_TRUE(p.script->ok()) << p.error();
    auto place = [](const ScriptEvent* e) { return std::string(e->file) + ":" + std::to_string(e->line); };
    EXPECT_EQ(place(p.script->setupEvents()[0]), "main.scr:7");
    const auto& timeline = p.script->timeline();
    ASSERT_EQ(timeline.size(), 3u);
    EXPECT_EQ(place(timeline[0]), "main.scr:9");
    EXPECT_EQ(place(timeline[1]), "part.scr:4");
    EXPECT_EQ(place(timeline[2]), "main.scr:12");

    ParsedScript broken({{"main.scr", "SETUP\nTIMELINE\n// c\nINCLUDE part.scr\n"},
                         {"part.scr", "SETUP\nTIMELINE\n1 START 1\n\n2 NONSENSE\n"}});
    EXPECT_EQ(broken.error(), "script: event not recognized in timeline line #: 2");
    EXPECT_EQ(broken.script->errorFile() + ":" + std::to_string(broken.script->errorLine()), "part.scr:5");
    ParsedScript missing("SETUP\nTIMELINE\n\nINCLUDE nothing.scr\n");
    EXPECT_EQ(missing.script->errorFile() + ":" + std::to_string(missing.script->errorLine()), "main.scr:4");
}
