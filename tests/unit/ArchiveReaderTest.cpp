#include "resources/ArchiveFormat.h"
#include "resources/ArchiveReader.h"
#include "resources/Crc32.h"
#include "resources/VFile.h"
#include "scene/SceneReader.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
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

TEST(ArchiveReader, MissingArchiveOrMemberFailsAndTheTrevixMarkerReads)
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

// ---------------------------------------------------------------------------
// Damaged archives, as the file layer reports them

namespace {

using Bytes = std::vector<unsigned char>;

void putU16(Bytes& out, unsigned v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void putU32(Bytes& out, uint32_t v)
{
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

constexpr size_t kFirstBlock = archive::kMarkerSize + archive::kArchiveHeaderSize;

// An archive of one stored member, written field by field.
Bytes storedArchive(const std::string& name, const std::string& content)
{
    Bytes out(archive::kMarkerRar, archive::kMarkerRar + archive::kMarkerSize);
    putU16(out, 0);
    out.push_back(archive::kTypeArchive);
    putU16(out, 0);
    putU16(out, archive::kArchiveHeaderSize);
    putU16(out, 0);
    putU32(out, 0);

    putU16(out, 0);
    out.push_back(archive::kTypeFile);
    putU16(out, archive::kBlockHasData);
    putU16(out, static_cast<unsigned>(archive::kFileHeaderSize + name.size()));
    putU32(out, static_cast<uint32_t>(content.size()));
    putU32(out, static_cast<uint32_t>(content.size()));
    out.push_back(archive::kHostMsDos);
    putU32(out, crc32(content.data(), content.size()));
    putU32(out, 0);
    out.push_back(archive::kMaxVersion);
    out.push_back(archive::kMethodStored);
    putU16(out, static_cast<unsigned>(name.size()));
    putU32(out, archive::kAttributeArchive);
    out.insert(out.end(), name.begin(), name.end());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

Bytes with(Bytes bytes, size_t at, std::initializer_list<unsigned char> values)
{
    for (unsigned char v : values)
        bytes.at(at++) = v;
    return bytes;
}

} // namespace

TEST(ArchiveReader, DamagedArchivesShowTheFileLayersMessageAndHandNothingOn)
{
    using namespace archive;
    const std::string name = "DATA\\SCENE.VSC";
    const std::string content = "sixteen bytes..\n";
    const Bytes good = storedArchive(name, content);
    const size_t nameAt = kFirstBlock + kFileHeaderSize;
    const size_t dataAt = nameAt + name.size();
    ASSERT_EQ(good.size(), dataAt + content.size());

    // A fixed name: a death test's child runs the test again and leaves what it wrote.
    std::string path = "reader_damaged.vpd";
    vfsetarchive(path.c_str(), "tavex");

    struct Case {
        std::string what;
        Bytes bytes;
    };
    std::vector<Case> cases;
    // Cut at every block and header boundary, and inside each.
    for (size_t cut : {size_t(0), size_t(4), kMarkerSize, kMarkerSize + 5, kFirstBlock, kFirstBlock + kBlockHeaderSize,
                       kFirstBlock + kFilePackedSize + 4, nameAt, nameAt + 5, dataAt, dataAt + 8, good.size() - 1})
        cases.push_back({"cut at " + std::to_string(cut), Bytes(good.begin(), good.begin() + long(cut))});
    cases.push_back({"unknown marker", with(good, 3, {'?'})});
    cases.push_back({"RAR 1.4 marker", with(good, 0, {'R', 'E', '~', '^'})});
    cases.push_back({"archive header of 5 bytes", with(good, kMarkerSize + 5, {5, 0})});
    cases.push_back({"block header of 3 bytes", with(good, kFirstBlock + 5, {3, 0})});
    cases.push_back({"file header shorter than its fixed part", with(good, kFirstBlock + 5, {20, 0})});
    cases.push_back({"name past its header", with(good, kFirstBlock + kFileNameSize, {200, 0})});
    cases.push_back({"packed size past the end", with(good, kFirstBlock + kFilePackedSize, {0xFF, 0xFF, 0xFF, 0x7F})});
    // 4 KiB from 16 bytes: copied, it would read far past the packed data.
    cases.push_back({"stored member larger than its data", with(good, kFirstBlock + kFileUnpackedSize, {0, 0x10})});
    cases.push_back({"compressed member of 4 GiB",
                     with(with(good, kFirstBlock + kFileUnpackedSize, {0xFF, 0xFF, 0xFF, 0xFF}),
                          kFirstBlock + kFileMethod, {kMethodNormal})});
    cases.push_back({"unpack version 12", with(good, kFirstBlock + kFileVersion, {12})});
    cases.push_back({"unpack version 29", with(good, kFirstBlock + kFileVersion, {29})});
    cases.push_back({"checksum", with(good, dataAt + 3, {'X'})});
    cases.push_back({"encrypted with another password", with(good, kFirstBlock + 3, {kFileEncrypted, 0x80})});
    cases.push_back({"sub-block before the member", with(good, kFirstBlock + 2, {kTypeSubBlock})});
    cases.push_back({"compressed data that is text", with(good, kFirstBlock + kFileMethod, {kMethodNormal})});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path, c.bytes);
        VFile file;
        testing::internal::CaptureStderr();
        EXPECT_EQ(vfopen("data/scene.vsc", &file), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "warning: filename: data/scene.vsc\ndata size: 0, ptr: 0, retVal: 0\n");
        EXPECT_EQ(file.data, nullptr);
    }
    // A directory where the archive should be, and no archive at all.
    std::remove(path.c_str());
    for (bool directory : {true, false}) {
        if (directory) {
            ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
        }
        testing::internal::CaptureStderr();
        EXPECT_EQ(vfopen("data/scene.vsc"), nullptr);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "warning: filename: data/scene.vsc\ndata size: 0, ptr: 0, retVal: 0\n");
        if (directory)
            rmdir(path.c_str());
    }

    // The undamaged archive reads; a scene read from a damaged one ends the
    // run in the scene reader's words after the file layer's box.
    writeFile(path, good);
    VFile* file = vfopen("data/scene.vsc");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(file->data), file->size), content);
    vfclose(file);
    writeFile(path, with(good, dataAt, {'X'}));
    EXPECT_EXIT(
        {
            SceneReader reader;
            reader.load("data/scene.vsc", "");
        },
        testing::ExitedWithCode(1),
        testing::Eq("warning: filename: data/scene.vsc\ndata size: 0, ptr: 0, retVal: 0\n"
                    "error: Error in parsing data/scene.vsc: could not open file\n\n"));
    std::remove(path.c_str());
}

// A damaged production-style archive whose script member holds a match at a
// distance just under the window size: it reads the bytes right ahead of the
// write position, a range overlapping the one written from the other side.
// The copy must not treat it as apart (the sanitizer build saw a memcpy over
// overlapping bytes); the member decodes, fails its checksum and hands back
// nothing.
TEST(ArchiveReader, MatchReadingJustAheadOfTheWritePositionIsCopiedByteByByte)
{
    // The checkout the test environment names: a compiler cache may have
    // made __FILE__ relative to the build folder.
    const char* source = std::getenv("VP_SOURCE_DIR");
    std::string here = __FILE__;
    std::string tests = source && *source ? std::string(source) + "/tests" : here.substr(0, here.rfind('/')) + "/..";
    std::string archive = tests + "/data/archive/far-match-reading-ahead-of-itself.vpd";
    ASSERT_FALSE(readFile(archive).empty());
    for (const char* password : {static_cast<const char*>(nullptr), "tavex"}) {
        Extracted e = extract(archive, "data/testscript.scr", password);
        EXPECT_EQ(e.status, 0);
        EXPECT_TRUE(e.nullData);
    }
}
