// production.ini as people's editors write it, and what it must refuse.
#include "app/CommandLine.h"
#include "app/ProductionNames.h"

#include "support/ImageFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

using testimages::ScratchDir;

struct Read {
    bool ok;
    ProductionNames names;
    std::string error;
};

Read readText(const ScratchDir& dir, const std::string& text)
{
    const std::string path = dir.path("production.ini");
    std::ofstream(path, std::ios::binary) << text;
    Read r;
    r.ok = readProductionFile(path.c_str(), r.names, r.error);
    // Errors name the file as given; the table below names it plainly.
    if (r.error.compare(0, path.size(), path) == 0)
        r.error = "production.ini" + r.error.substr(path.size());
    return r;
}

} // namespace

TEST(ProductionIni, ReadsWhatEditorsWrite)
{
    ScratchDir dir;
    // A byte-order mark, Windows line ends, '=' inside a value, quotes
    // keeping blanks, an empty password, comments.
    Read r = readText(dir, "\xEF\xBB\xBFtitle = Small Hours\r\n"
                           "; names\r\n"
                           "music=tune=2.ogg\r\n"
                           "archive = \"  pack.vpd \"\r\n"
                           "password =\r\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.names.title, "Small Hours");
    EXPECT_EQ(r.names.music, "tune=2.ogg");
    EXPECT_EQ(r.names.archive, "  pack.vpd ");
    EXPECT_EQ(r.names.password, "");
}

TEST(ProductionIni, RefusesWhatItCannotUseNamingTheLine)
{
    ScratchDir dir;
    const std::string longPassword(255, 'x');
    const struct {
        std::string text;
        std::string error;
    } bad[] = {
        {"title = A\ncolour = blue\n", "production.ini:2: unknown key 'colour' (title, music, archive, password, launcher, fullscreen, resolution or render-target)"},
        {"\xEF\xBB\xBFtitle A\n", "production.ini:1: expected 'key = value', found 'title A'"},
        {"music =\r\n", "production.ini:1: 'music' needs a value"},
        {"= x\n", "production.ini:1: a value without a key"},
        {"password = " + longPassword + "\n",
         "production.ini:1: the password is longer than the archive's limit of 254 characters"},
    };
    for (const auto& c : bad) {
        Read r = readText(dir, c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.error, c.error);
    }
    EXPECT_TRUE(readText(dir, "password = " + longPassword.substr(1) + "\n").ok);

    // A folder in the file's place is an error, not a file without names.
    std::filesystem::remove(dir.path("production.ini"));
    std::filesystem::create_directory(dir.path("production.ini"));
    ProductionNames names;
    std::string error;
    EXPECT_FALSE(readProductionFile(dir.path("production.ini").c_str(), names, error));
    EXPECT_EQ(error, dir.path("production.ini") + ": Is a directory");

    RunOptions o;
    const char* args[] = {"--password", longPassword.c_str()};
    EXPECT_EQ(parseCommandLine(2, args, o, error), CommandAction::Error);
    EXPECT_EQ(error, "--password: the password is longer than the archive's limit of 254 characters");
}
