#include "resources/ArchiveFormat.h"
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

namespace {

// Most significant bit first, as the decoder reads.
struct Bits {
    std::vector<unsigned char> bytes;
    unsigned used = 0;
    void put(unsigned value, unsigned n)
    {
        for (unsigned i = n; i-- > 0;) {
            if (used % 8 == 0)
                bytes.push_back(0);
            if ((value >> i) & 1)
                bytes.back() |= static_cast<unsigned char>(0x80 >> (used % 8));
            ++used;
        }
    }
};

// Tables giving 2-bit codes to two literals and the table switch (269), in
// symbol order: lo = 00, hi = 01, 269 = 10. Pre-code: length 2 = "0",
// a run of zeros (18) = "1".
void putTables(Bits& b, unsigned lo, unsigned hi)
{
    b.put(0, 2); // not audio, previous lengths not kept
    for (unsigned i = 0; i < 19; ++i)
        b.put(i == 2 || i == 18 ? 1 : 0, 4);
    auto zeros = [&b](unsigned n) {
        while (n >= 11) {
            unsigned k = n > 138 ? 138 : n;
            b.put(1, 1);
            b.put(k - 11, 7);
            n -= k;
        }
        ASSERT_EQ(n, 0u);
    };
    zeros(lo);
    b.put(0, 1);
    zeros(hi - lo - 1);
    b.put(0, 1);
    zeros(269 - hi - 1);
    b.put(0, 1);
    zeros(374 - 270);
}

void putHeader(std::vector<unsigned char>& out, uint16_t flags, const std::vector<unsigned char>& packed,
               const char* content, const char* name)
{
    auto u16 = [&out](unsigned v) {
        out.push_back(static_cast<unsigned char>(v));
        out.push_back(static_cast<unsigned char>(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16(0);
    out.push_back(0x74);
    u16(flags | 0x8000);
    u16(static_cast<unsigned>(32 + std::strlen(name)));
    u32(static_cast<uint32_t>(packed.size()));
    u32(static_cast<uint32_t>(std::strlen(content)));
    out.push_back(0);
    u32(crc32(content, std::strlen(content)));
    u32(0);
    out.push_back(20);
    out.push_back(0x33);
    u16(static_cast<unsigned>(std::strlen(name)));
    u32(0x20);
    out.insert(out.end(), name, name + std::strlen(name));
    out.insert(out.end(), packed.begin(), packed.end());
}

std::vector<unsigned char> solidPair(bool tablesAtEnd)
{
    Bits m1;
    putTables(m1, 'A', 'B');
    m1.put(0, 2); // A
    m1.put(1, 2); // B
    if (tablesAtEnd) {
        m1.put(2, 2); // switch, then the next member's tables
        putTables(m1, 'C', 'D');
    }
    Bits m2;
    m2.put(1, 2); // D with the new tables, B with the old
    m2.put(0, 2); // C with the new, A with the old
    std::vector<unsigned char> out;
    for (unsigned char c : archive::kMarkerRar)
        out.push_back(c);
    for (unsigned char c : {0, 0, 0x73, 0x08, 0, 13, 0, 0, 0, 0, 0, 0, 0})
        out.push_back(c); // solid archive header

    putHeader(out, 0, m1.bytes, "AB", "M1");
    putHeader(out, 0x10, m2.bytes, "DC", "M2");
    return out;
}

} // namespace

TEST(ArchiveReader, SolidMemberTakesTheTablesThatEndTheMemberBefore)
{
    std::string path = "reader_solid_" + std::to_string(::getpid()) + ".rar";
    writeFile(path, solidPair(true));
    EXPECT_EQ(extract(path, "M1").bytes, "AB");
    Extracted e = extract(path, "M2");
    EXPECT_EQ(e.status, 1);
    EXPECT_EQ(e.bytes, "DC");
    // Without them the second member decodes with the first one's codes
    // ("BA") and fails its checksum.
    writeFile(path, solidPair(false));
    EXPECT_EQ(extract(path, "M1").bytes, "AB");
    EXPECT_EQ(extract(path, "M2").status, 0);
    std::remove(path.c_str());
}
