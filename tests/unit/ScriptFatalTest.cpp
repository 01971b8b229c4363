// The parser's errors end the process with exit code 1 and the exact message,
// whether the script comes from memory or from disk through the file layer.

#include "ScriptTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

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
struct DiskFile {
    std::string path;
    DiskFile(const std::string& stem, const std::string& text)
        : path(stem + "." + std::to_string(getpid()) + ".scr")
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
        {"SETUP\n0 START 3\n", nullptr, "error: script: event not recognized in setup line #: 1\n"},
        {"SETUP\n0 l 1 1\n7 l 1 1\n", nullptr, "error: script: not a valid time (should be 0) in setup line #: 2\n"},
        {"SETUP\nTIMELINE\n1000 START 1\n0 START 1\n", nullptr,
         "error: script: not a valid(1-maxtime) time in timeline line #: 2\n"},
        {"SETUP\nTIMELINE\n1000 +500 START 7\n", nullptr,
         "error: script: event not recognized in timeline line #: 1\n"},
        {"INCLUDE missing.scr\n", nullptr, "error: script: could not open file for parsing\n"},
        {"INCLUDE inc.scr\n", "INCLUDE main.scr\n", "error: script: file includes itself: main.scr\n"},
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
                testing::Eq("error: script: event not recognized in timeline line #: 2\n"));
    EXPECT_EXIT(Script("data/no_such_script.scr"), testing::ExitedWithCode(1),
                testing::Eq("error: script: could not open file for parsing\n"));
}

TEST(ScriptFatal, SampleProductionScriptParses)
{
    // The tests run in build/tests, beside the production folder.
    const char* dir = std::getenv("VP_PRODUCTION_DIR");
    if (!dir || !*dir)
        dir = "../production";
    MemoryScriptSource source;
    std::string text;
    FILE* f = std::fopen((std::string(dir) + "/data/testscript.scr").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        text.append(buffer, n);
    std::fclose(f);
    source.addFile("data/testscript.scr", text);
    Script script("data/testscript.scr", source, Script::ErrorMode::Report);
    EXPECT_TRUE(script.ok()) << script.errorText();
    EXPECT_FALSE(script.timeline().empty());
}
