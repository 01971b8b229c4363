#include "resources/ArchiveReader.h"
#include "resources/Crc32.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string testdata(const char* name)
{
    // Real archives made by the RAR program, kept with the tests.
    const char* dir = std::getenv("VP_TESTDATA_DIR");
    std::string here = __FILE__;
    std::string base = dir ? dir : here.substr(0, here.rfind('/')) + "/../data";
    return base + "/rar/" + name;
}

struct Extracted {
    int status = -1;
    std::string bytes;
    bool nullData = false;
};

Extracted extract(const std::string& archive, const char* member, const char* password = nullptr)
{
    unsigned char* data = reinterpret_cast<unsigned char*>(1);
    uint32_t size = 12345;
    Extracted e;
    e.status = extractMember(archive.c_str(), member, password, &data, &size);
    e.nullData = data == nullptr;
    if (data) {
        e.bytes.assign(reinterpret_cast<char*>(data), size);
        std::free(data);
    } else {
        EXPECT_EQ(size, 0u);
    }
    return e;
}

std::vector<unsigned char> readFile(const std::string& path)
{
    std::vector<unsigned char> v;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return v;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        v.push_back(static_cast<unsigned char>(c));
    std::fclose(f);
    return v;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

} // namespace

TEST(ArchiveReader, Crc32OfKnownText)
{
    EXPECT_EQ(crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(crc32("file1\r\n", 7), 0x7a197dbau);
    // The sliced loop and the byte loop agree across every split.
    std::string s(100, '\0');
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<char>(i * 37 + 11);
    uint32_t whole = crc32(s.data(), s.size());
    for (size_t cut = 0; cut <= s.size(); cut += 7)
        EXPECT_EQ(~crc32Update(crc32Update(0xFFFFFFFFu, s.data(), cut), s.data() + cut, s.size() - cut), whole);
}

TEST(ArchiveReader, RealStoredMembersWithCommentsInTheirHeaders)
{
    std::string a = testdata("rar202-comment-nopsw.rar");
    Extracted e1 = extract(a, "FILE1.TXT");
    EXPECT_EQ(e1.status, 1);
    EXPECT_EQ(e1.bytes, "file1\r\n");
    Extracted e2 = extract(a, "file2.txt", "");
    EXPECT_EQ(e2.status, 1);
    EXPECT_EQ(e2.bytes, "file2\r\n");
}

TEST(ArchiveReader, RealCompressedMemberFollowedByAnOwnerBlock)
{
    std::string a = testdata("rar2-unix-owner.rar");
    Extracted e = extract(a, "FILE.TXT");
    EXPECT_EQ(e.status, 1);
    EXPECT_EQ(e.bytes, "foo\n");
    // The walk for a missing member stops at the owner sub-block.
    Extracted missing = extract(a, "other.txt");
    EXPECT_EQ(missing.status, 0);
    EXPECT_TRUE(missing.nullData);
}

TEST(ArchiveReader, OlderCompressionFailsCleanlyButItsStoredMemberReads)
{
    std::string a = testdata("rar15-comment.rar");
    Extracted e1 = extract(a, "FILE1.TXT");
    EXPECT_EQ(e1.status, 0);
    EXPECT_TRUE(e1.nullData);
    Extracted e2 = extract(a, "FILE2.TXT");
    EXPECT_EQ(e2.status, 1);
    EXPECT_EQ(e2.bytes, "baaaar\r\n");
}

TEST(ArchiveReader, MissingArchiveMemberAndBadMarkersFail)
{
    EXPECT_EQ(extract("no-such-archive.rar", "FILE1.TXT").status, 0);
    EXPECT_EQ(extract(testdata("rar202-comment-nopsw.rar"), "FILE3.TXT").status, 0);
    EXPECT_EQ(extract(testdata("rar202-comment-nopsw.rar"), "").status, 0);

    std::vector<unsigned char> bytes = readFile(testdata("rar202-comment-nopsw.rar"));
    ASSERT_GT(bytes.size(), 20u);
    std::string path = "reader_marker_" + std::to_string(::getpid()) + ".rar";
    // The production's marker variant reads like the RAR one.
    std::memcpy(bytes.data(), "Trevix!", 7);
    writeFile(path, bytes);
    EXPECT_EQ(extract(path, "FILE2.TXT").bytes, "file2\r\n");
    // RAR 1.4 and unknown markers are refused.
    std::memcpy(bytes.data(), "RE~^\0\0\0", 7);
    writeFile(path, bytes);
    EXPECT_EQ(extract(path, "FILE2.TXT").status, 0);
    bytes[0] = 'X';
    writeFile(path, bytes);
    EXPECT_EQ(extract(path, "FILE2.TXT").status, 0);
    // Too short for the marker or the archive header.
    writeFile(path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 5));
    EXPECT_EQ(extract(path, "FILE2.TXT").status, 0);
    writeFile(path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 15));
    EXPECT_EQ(extract(path, "FILE2.TXT").status, 0);
    std::remove(path.c_str());
}

TEST(ArchiveReader, TruncatedAndCorruptedArchivesFailOrReadRight)
{
    // Every cut and every single-byte change of the real archives either fails
    // with no data or yields the member's true content (its CRC held).
    std::string path = "reader_corrupt_" + std::to_string(::getpid()) + ".rar";
    struct Case { const char* archive; const char* member; const char* content; };
    const Case cases[] = {{"rar2-unix-owner.rar", "file.txt", "foo\n"},
                          {"rar202-comment-nopsw.rar", "FILE2.TXT", "file2\r\n"}};
    for (const Case& c : cases) {
        std::vector<unsigned char> bytes = readFile(testdata(c.archive));
        ASSERT_FALSE(bytes.empty()) << c.archive;
        for (size_t cut = 0; cut < bytes.size(); ++cut) {
            writeFile(path, std::vector<unsigned char>(bytes.begin(), bytes.begin() + cut));
            Extracted e = extract(path, c.member);
            if (e.status != 0) {
                EXPECT_EQ(e.bytes, c.content) << c.archive << " cut at " << cut;
            }
        }
        for (size_t i = 0; i < bytes.size() && i < 200; ++i) {
            for (unsigned char x : {0x01, 0x80, 0xFF}) {
                std::vector<unsigned char> changed = bytes;
                changed[i] ^= x;
                writeFile(path, changed);
                Extracted e = extract(path, c.member);
                if (e.status != 0) {
                    EXPECT_EQ(e.bytes, c.content) << c.archive << " byte " << i << " ^ " << int(x);
                } else {
                    EXPECT_TRUE(e.nullData);
                }
            }
        }
    }
    std::remove(path.c_str());
}
