#include "resources/VFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// A file in the test's working directory, removed again at the end.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& content, const char* name = "vfile_test.bin")
        : path(std::string(name) + "." + std::to_string(getpid()))
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!content.empty())
            std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    ~TempFile() { std::remove(path.c_str()); }
};

// A record over given bytes, as vfopen leaves it.
struct MemFile {
    VFile file;
    explicit MemFile(const std::string& content)
    {
        file.size = static_cast<uint32_t>(content.size());
        file.data = static_cast<unsigned char*>(std::malloc(content.size() + 1));
        std::memcpy(file.data, content.data(), content.size());
    }
};

} // namespace

TEST(VFile, DiskOpenReadsWholeFileAndMissingFileIsSilentNone)
{
    TempFile t("hello\r\nworld");
    VFile* f = vfopen(t.path.c_str());
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->size, 12u);
    EXPECT_EQ(f->pos, 0u);
    EXPECT_EQ(std::memcmp(f->data, "hello\r\nworld", 12), 0);
    EXPECT_EQ(vfclose(f), 0);

    testing::internal::CaptureStderr();
    EXPECT_EQ(vfopen("no/such/file.scr"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(vfclose(nullptr), 0);
}

TEST(VFile, ConstructorFromNameSetsValid)
{
    TempFile t("abc");
    VFile good(t.path.c_str());
    EXPECT_TRUE(good.valid);
    EXPECT_EQ(good.size, 3u);
    VFile bad("no/such/file.png");
    EXPECT_FALSE(bad.valid);
    EXPECT_EQ(bad.data, nullptr);
    VFile empty;
    EXPECT_TRUE(empty.valid);
    EXPECT_EQ(empty.data, nullptr);
}

TEST(VFile, ZeroLengthFileOpensWithSizeZero)
{
    TempFile t("");
    VFile f;
    ASSERT_EQ(vfopen(t.path.c_str(), &f), &f);
    EXPECT_EQ(f.size, 0u);
    char c;
    EXPECT_EQ(vfread(&c, 1, 1, &f), 0u);
}

TEST(VFile, DirectoryFailsToOpen)
{
    EXPECT_EQ(vfopen("."), nullptr);
}

TEST(VFile, ReadStopsBeforeAPartialElement)
{
    MemFile m("0123456789");
    unsigned char out[12] = {};
    EXPECT_EQ(vfread(out, 4, 3, &m.file), 2u);
    EXPECT_EQ(m.file.pos, 8u);
    EXPECT_EQ(std::memcmp(out, "01234567", 8), 0);
    EXPECT_EQ(out[8], 0);
    EXPECT_EQ(vfread(out, 2, 5, &m.file), 1u);
    EXPECT_EQ(m.file.pos, 10u);
    EXPECT_EQ(vfread(out, 1, 1, &m.file), 0u);
}

TEST(VFile, SeekOriginsAndReadsPastTheEnd)
{
    MemFile m("0123456789");
    EXPECT_EQ(vfseek(&m.file, -4, 2), 0);
    EXPECT_EQ(vftell(&m.file), 6u);
    EXPECT_EQ(vfseek(&m.file, 1, 1), 0);
    EXPECT_EQ(vftell(&m.file), 7u);
    EXPECT_EQ(vfseek(&m.file, 3, 7), 0);
    EXPECT_EQ(vftell(&m.file), 7u);
    EXPECT_EQ(vfseek(&m.file, 100, 0), 0);
    EXPECT_EQ(vftell(&m.file), 100u);
    unsigned char out[4];
    EXPECT_EQ(vfread(out, 1, 4, &m.file), 0u);
    EXPECT_EQ(vftell(&m.file), 100u);
}

TEST(VFile, NegativeSeekBeforeTheStartReadsNothing)
{
    // The position wraps round to near 4 GiB; the fit test must not overflow.
    MemFile m("0123456789");
    vfseek(&m.file, -4, 0);
    unsigned char out[8];
    EXPECT_EQ(vfread(out, 8, 1, &m.file), 0u);
    EXPECT_EQ(vfread(out, 1, 8, &m.file), 0u);
    vfseek(&m.file, -20, 2);
    EXPECT_EQ(vfread(out, 4, 2, &m.file), 0u);
}

TEST(VFile, GetsReadsCrLfLinesAndStepsOverThePair)
{
    MemFile m("ab\r\ncd\r\n");
    char line[16];
    EXPECT_STREQ(vfgets(line, sizeof line, &m.file), "ab");
    EXPECT_EQ(m.file.pos, 4u);
    EXPECT_STREQ(vfgets(line, sizeof line, &m.file), "cd");
    EXPECT_EQ(m.file.pos, m.file.size);
    // At the end: an empty line, and still two bytes further.
    EXPECT_STREQ(vfgets(line, sizeof line, &m.file), "");
    EXPECT_EQ(m.file.pos, m.file.size + 2);
}

TEST(VFile, GetsCutsAtTheBufferAndLosesTwoBytes)
{
    MemFile m("abcdef\r\n");
    char line[3];
    EXPECT_STREQ(vfgets(line, 3, &m.file), "ab");
    EXPECT_EQ(m.file.pos, 4u);
    char rest[16];
    EXPECT_STREQ(vfgets(rest, sizeof rest, &m.file), "ef");
}

TEST(VFile, GetsCopiesALoneLineFeed)
{
    MemFile m("a\nb\r\nc");
    char line[16];
    EXPECT_STREQ(vfgets(line, sizeof line, &m.file), "a\nb");
    EXPECT_STREQ(vfgets(line, sizeof line, &m.file), "c");
    EXPECT_EQ(m.file.pos, 8u);
}

TEST(VFile, GetsWithNoRoomWritesNothing)
{
    MemFile m("abc\r\n");
    char guard[2] = {'x', 'y'};
    vfgets(guard, 0, &m.file);
    EXPECT_EQ(guard[0], 'x');
    EXPECT_EQ(m.file.pos, 2u);
    vfgets(guard, 1, &m.file);
    EXPECT_EQ(guard[0], '\0');
    EXPECT_EQ(guard[1], 'y');
}

TEST(VFile, ArchiveModeMissingMemberShowsMessageAndKeepsRecord)
{
    vfsetarchive("no-such-archive.vpd", "tavex");
    EXPECT_TRUE(vfarchivemode());
    VFile f;
    testing::internal::CaptureStderr();
    EXPECT_EQ(vfopen("data/testscript.scr", &f), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: filename: data/testscript.scr\ndata size: 0, ptr: 0, retVal: 0\n");
    EXPECT_EQ(f.data, nullptr);
    EXPECT_EQ(f.size, 0u);

    // A name far longer than the text buffer is cut, not written past it.
    std::string longName(5000, 'x');
    testing::internal::CaptureStderr();
    EXPECT_EQ(vfopen(longName.c_str()), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("warning: filename: xxx", 0), 0u);
    EXPECT_LT(err.size(), 1100u);
}
