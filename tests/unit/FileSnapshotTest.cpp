#include "resources/FileSnapshot.h"
#include "resources/VFile.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

void writeText(const std::string& path, const std::string& text)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string openedText(const std::string& name)
{
    VFile file(name.c_str());
    return file.valid ? std::string(reinterpret_cast<const char*>(file.data), file.size) : "(none)";
}

// Names in the working directory made unique to the process, removed at the end.
struct Scratch {
    std::vector<std::string> paths;
    std::string add(const char* stem) { return paths.emplace_back(stem + ("." + std::to_string(getpid()))); }
    ~Scratch()
    {
        for (const std::string& p : paths)
            std::remove(p.c_str());
    }
};

} // namespace

// What a clean check read is what later builds read, whatever the disk says
// by then; names it never read come from the disk.
TEST(FileSnapshot, BuildsReadWhatWasRecordedNotTheDiskAsItIsNow)
{
    Scratch scratch;
    const std::string script = scratch.add("snap_script.scr");
    const std::string picture = scratch.add("snap_picture.png");
    const std::string other = scratch.add("snap_other.txt");
    writeText(script, "good");
    std::remove(picture.c_str());

    auto record = std::make_shared<FileSnapshot>();
    vfsetrecord(record.get());
    EXPECT_EQ(openedText(script), "good");
    EXPECT_EQ(openedText(picture), "(none)");
    // A build keeps what it read first, as a check does.
    writeText(script, "half saved");
    EXPECT_EQ(openedText(script), "good");
    vfsetrecord(nullptr);

    writeText(script, "broken");
    writeText(picture, "now here");
    writeText(other, "never recorded");
    vfsetsnapshot(record);
    EXPECT_EQ(openedText(script), "good");
    EXPECT_EQ(openedText(picture), "(none)");
    EXPECT_EQ(openedText(other), "never recorded");
    vfsetsnapshot(nullptr);
    EXPECT_EQ(openedText(script), "broken");
}

TEST(FileSnapshot, SavedFileLoadsBackAndAnyCutFails)
{
    Scratch scratch;
    const std::string path = scratch.add("snap_saved.bin");
    FileSnapshot saved;
    saved.add("data/testscript.scr", reinterpret_cast<const unsigned char*>("SETUP\r\n"), 7);
    saved.add("data/empty.txt", nullptr, 0);
    saved.addMissing("data/textures/gone.png");
    ASSERT_TRUE(saved.save(path.c_str()));

    FileSnapshot loaded;
    ASSERT_TRUE(loaded.load(path.c_str()));
    ASSERT_EQ(loaded.entries().size(), 3u);
    EXPECT_TRUE(loaded.agreesWith(saved));
    EXPECT_TRUE(saved.agreesWith(loaded));
    EXPECT_FALSE(loaded.find("data/textures/gone.png")->present);
    EXPECT_TRUE(loaded.find("data/empty.txt")->present);

    // A check that died while writing must not pass for a record.
    const std::string whole = readFile<std::string>(path);
    for (size_t cut = 0; cut < whole.size(); ++cut) {
        writeText(path, whole.substr(0, cut));
        EXPECT_FALSE(loaded.load(path.c_str())) << "cut at " << cut;
        EXPECT_TRUE(loaded.entries().empty());
    }
    writeText(path, whole + "x");
    EXPECT_FALSE(loaded.load(path.c_str()));
}

// Only a change in content to a file the build read, or a missing one that
// appears, is a change: an editor's swap, lock and backup files are not, nor
// a save that writes the same bytes again.
TEST(FileSnapshot, MatchesDiskUntilWhatWasReadChanges)
{
    Scratch scratch;
    const std::string script = scratch.add("snap_watch.scr");
    const std::string missing = scratch.add("snap_watch_missing.png");
    writeText(script, "1 START 0\r\n");
    std::remove(missing.c_str());
    FileSnapshot record;
    vfsetrecord(&record);
    openedText(script);
    openedText(missing);
    vfsetrecord(nullptr);
    EXPECT_TRUE(record.matchesDisk());

    for (const char* temp : {".snap_watch.scr.swp", "4913", "snap_watch.scr~", "#snap_watch.scr#"})
        writeText(scratch.add(temp), "editor");
    writeText(script, "1 START 0\r\n");
    EXPECT_TRUE(record.matchesDisk());

    writeText(script, "1 START 1\r\n");
    EXPECT_FALSE(record.matchesDisk());
    writeText(script, "1 START 0\r\n");
    writeText(missing, "");
    EXPECT_FALSE(record.matchesDisk());
}

// The first check and the run's first build agree unless a save landed
// between their reads: the same name read with other bytes, or found by one
// and missing for the other. Names only one of them read say nothing.
TEST(FileSnapshot, AgreesUnlessANameBothReadDiffers)
{
    auto bytes = [](const char* text) { return reinterpret_cast<const unsigned char*>(text); };
    FileSnapshot run;
    run.add("data/testscript.scr", bytes("SETUP\n"), 6);
    run.addMissing("data/textures/gone.png");
    FileSnapshot check = run;
    check.add("data/only_checked.vsc", bytes("x"), 1);
    EXPECT_TRUE(check.agreesWith(run));
    EXPECT_TRUE(run.agreesWith(check));

    FileSnapshot saved;
    saved.add("data/testscript.scr", bytes("SETUP\r\n"), 7);
    EXPECT_FALSE(saved.agreesWith(run));
    FileSnapshot appeared;
    appeared.add("data/textures/gone.png", nullptr, 0);
    EXPECT_FALSE(appeared.agreesWith(run));
    EXPECT_FALSE(run.agreesWith(appeared));
}
