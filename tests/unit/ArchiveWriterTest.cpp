// Archives written by the packer tool, read back by the engine's reader and
// checked by unar/lsar, an independent RAR implementation.
#include "app/ArchivePassword.h"
#include "resources/ArchiveReader.h"
#include "resources/VFile.h"

#include "support/Files.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string buildDir()
{
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string path = n > 0 ? std::string(exe, static_cast<size_t>(n)) : std::string("./unit_tests");
    return path.substr(0, path.rfind('/')) + "/..";
}

std::string vpdpack()
{
    return buildDir() + "/vpdpack";
}

struct Shell {
    int status;
    std::string out;
};

Shell shell(const std::string& command)
{
    Shell r{-1, ""};
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

int extract(const std::string& archive, const char* member, const char* password, Bytes& out)
{
    unsigned char* data = nullptr;
    uint32_t size = 0;
    int status = extractMember(archive.c_str(), member, password, &data, &size);
    out.assign(data, data + size);
    std::free(data);
    if (status != 1) {
        EXPECT_EQ(data, nullptr);
        EXPECT_EQ(size, 0u);
    }
    return status;
}

// A scratch folder in the test's working directory with a small production
// under data/: text, float records like a scene file's, noise, 16-bit stereo
// samples, tiny and empty files, and one file larger than the 1 MiB window
// whose repeats lie far apart.
class PackedFiles : public ::testing::Test {
protected:
    std::string dir;
    std::vector<std::pair<std::string, Bytes>> files; // path relative to dir, content

    void SetUp() override
    {
        dir = "archive_writer_" + std::to_string(getpid());
        ASSERT_EQ(shell("rm -rf " + dir + " && mkdir -p " + dir + "/data/textures").status, 0);
        uint32_t seed = 12345;
        auto rnd = [&seed] {
            seed = seed * 214013u + 2531011u;
            return (seed >> 16) & 0x7FFF;
        };

        // A script: timeline lines on a beat grid with a handful of effects.
        std::string text = "DEFINE BEAT 480\r\nTIMELINE\r\n";
        const char* codes[] = {"s", "e", "i", "l", "p1010", "407", "203"};
        for (int t = 0; text.size() < 60000; t += 480) {
            char line[128];
            std::snprintf(line, sizeof line, "%d %s %u %u %u // beat %d\r\n", t, codes[rnd() % 7], rnd() % 24,
                          rnd() % 256, rnd() % 1000, t / 480);
            text += line;
        }
        add("data/testscript.scr", Bytes(text.begin(), text.end()));

        Bytes records;
        for (int i = 0; i < 8000; ++i) {
            float v[8] = {std::sin(i * 0.01f) * 10, std::cos(i * 0.013f) * 5, (i % 100) * 0.1f, 0, 1, 0,
                          (i % 64) / 64.0f, (i / 64 % 64) / 64.0f};
            const unsigned char* p = reinterpret_cast<const unsigned char*>(v);
            records.insert(records.end(), p, p + sizeof v);
        }
        add("data/scene.vsc", records);

        Bytes noise(70000);
        for (unsigned char& b : noise)
            b = static_cast<unsigned char>(rnd());
        add("data/textures/noise.png", noise);

        Bytes samples;
        for (int i = 0; i < 60000; ++i) {
            int16_t l = static_cast<int16_t>(8000 * std::sin(i * 0.05) + static_cast<int>(rnd() % 64) - 32);
            int16_t r = static_cast<int16_t>(6000 * std::sin(i * 0.07));
            for (int16_t s : {l, r}) {
                samples.push_back(static_cast<unsigned char>(s & 0xFF));
                samples.push_back(static_cast<unsigned char>((s >> 8) & 0xFF));
            }
        }
        add("data/sound.raw", samples);

        add("data/one.txt", Bytes{'x'});
        add("data/empty.txt", Bytes{});

        // 1.2 MB, more than the 1 MiB window: a random block, text, then
        // the block again 1.1 MB later (beyond the window's reach).
        Bytes big(noise.begin(), noise.end());
        while (big.size() < 1100000)
            big.insert(big.end(), text.begin(), text.end());
        big.insert(big.end(), noise.begin(), noise.end());
        big.insert(big.end(), records.begin(), records.begin() + 60000);
        add("data/big.bin", big);
    }

    void TearDown() override { shell("rm -rf " + dir); }

    void add(const std::string& path, const Bytes& content)
    {
        writeFile(dir + "/" + path, content);
        files.push_back({path, content});
    }

    // Packs data/ (or the given files) into dir/name with vpdpack.
    std::string pack(const std::string& name, const std::string& options, const std::string& inputs = "data")
    {
        Shell r = shell("cd " + dir + " && " + vpdpack() + " a " + name + " " + inputs + " " + options);
        EXPECT_EQ(r.status, 0) << r.out;
        return dir + "/" + name;
    }
};

} // namespace

// Every method, solid or not, with and without a password.
class EveryMode : public PackedFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryMode, RoundTripsThroughTheReaderAndUnar)
{
    {
        const char* mode = GetParam();
        for (const char* solid : {"", " --solid"}) {
            for (const char* password : {"", "tavex"}) {
                std::string options = std::string(mode) + solid + (*password ? " -p " : "") + password;
                SCOPED_TRACE(options);
                std::string archive = pack("t.vpd", options);
                for (const auto& [path, content] : files) {
                    Bytes got;
                    ASSERT_EQ(extract(archive, path.c_str(), password, got), 1) << path;
                    EXPECT_TRUE(got == content) << path;
                }
                // The independent reader checks every member's CRC.
                Shell lsar = shell(std::string("lsar -t ") + (*password ? "-p tavex " : "") + archive);
                EXPECT_EQ(lsar.status, 0) << lsar.out;
                EXPECT_NE(lsar.out.find(std::to_string(files.size()) + " passed, 0 failed."), std::string::npos)
                    << lsar.out;
            }
        }
    }
    // unar itself extracts the same bytes under the stored names.
    std::string archive = pack("u.vpd", std::string(GetParam()) + " -p tavex");
    ASSERT_EQ(shell("cd " + dir + " && unar -q -f -p tavex -o out u.vpd").status, 0);
    EXPECT_TRUE(readFile(dir + "/out/DATA/BIG.BIN") == files.back().second);
    EXPECT_TRUE(readFile(dir + "/out/DATA/SCENE.VSC") == files[1].second);
}

INSTANTIATE_TEST_SUITE_P(Methods, EveryMode, ::testing::Values("-m stored", "-m normal", "-m audio"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param + 3);
                         });

TEST_F(PackedFiles, CompressesAtLeastAsWellAsGzip)
{
    for (const char* path : {"data/testscript.scr", "data/scene.vsc", "data/big.bin", "data/textures/noise.png"}) {
        std::string archive = pack("g.vpd", "", path);
        Shell list = shell(vpdpack() + " l " + archive);
        ASSERT_EQ(list.status, 0);
        unsigned size = 0, packed = 0;
        std::string line = list.out.substr(list.out.rfind('\n', list.out.size() - 2) + 1);
        ASSERT_EQ(std::sscanf(line.c_str(), "%u %u", &size, &packed), 2) << list.out;
        Shell gz = shell("gzip -6 -c " + dir + "/" + path + " | wc -c");
        unsigned gzipped = static_cast<unsigned>(std::atoi(gz.out.c_str()));
        EXPECT_LE(packed, gzipped) << path;
    }
    // Noise larger than the packer's trial is stored as it is.
    Bytes noise;
    for (int i = 0; i < 5; ++i)
        noise.insert(noise.end(), files[2].second.begin(), files[2].second.end());
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>(noise[i] ^ (i * 2654435761u >> 13));
    writeFile(dir + "/noise.bin", noise);
    Shell stored = shell("cd " + dir + " && " + vpdpack() + " a s.vpd noise.bin && " + vpdpack() + " l s.vpd");
    EXPECT_NE(stored.out.find(std::to_string(noise.size()) + "     " + std::to_string(noise.size()) + " stored"),
              std::string::npos)
        << stored.out;

    // Audio mode beats plain LZ on sample data.
    Shell normal = shell("cd " + dir + " && " + vpdpack() + " a n.vpd data/sound.raw && stat -c %s n.vpd");
    Shell audio = shell("cd " + dir + " && " + vpdpack() + " a a.vpd data/sound.raw -m audio && stat -c %s a.vpd");
    EXPECT_LT(std::atoi(audio.out.c_str()) * 10, std::atoi(normal.out.c_str()) * 8);
}

TEST_F(PackedFiles, WrongOrMissingPasswordFailsTheChecksum)
{
    for (const char* mode : {"-m stored", "-m normal"}) {
        std::string archive = pack("p.vpd", std::string(mode) + " -p tavex");
        Bytes got;
        EXPECT_EQ(extract(archive, "data/testscript.scr", "tavey", got), 0);
        EXPECT_EQ(extract(archive, "data/testscript.scr", nullptr, got), 0);
        EXPECT_EQ(extract(archive, "data/testscript.scr", "", got), 0);
        EXPECT_EQ(extract(archive, "data/testscript.scr", "tavex", got), 1);
        Shell lsar = shell("lsar -t -p wrong " + archive);
        EXPECT_NE(lsar.status, 0);

        // The headers say which member is locked, so the player can blame the
        // password rather than the data, and only when that is the likely cause.
        std::string plain = pack("plain.vpd", mode);
        EXPECT_EQ(findMember(archive.c_str(), "data/testscript.scr"), ArchiveMember::Encrypted);
        EXPECT_EQ(findMember(plain.c_str(), "DATA\\TESTSCRIPT.SCR"), ArchiveMember::Plain);
        EXPECT_EQ(findMember(archive.c_str(), "data/none.scr"), ArchiveMember::Missing);
        EXPECT_EQ(findMember((dir + "/none.vpd").c_str(), "data/testscript.scr"), ArchiveMember::Missing);
        const char* member = "data/testscript.scr";
        EXPECT_EQ(archivePasswordProblem(archive, member, "tavex", PasswordSource::Option), "");
        EXPECT_EQ(archivePasswordProblem(plain, member, "wrong", PasswordSource::Option), "");
        EXPECT_EQ(archivePasswordProblem(archive, "data/none.scr", "wrong", PasswordSource::Option), "");
        EXPECT_EQ(archivePasswordProblem(archive, member, "tavey", PasswordSource::Default),
                  "the password is probably wrong (the default; set it with --password or production.ini's "
                  "password key): data/testscript.scr in " + archive + " does not decrypt");
        EXPECT_EQ(archivePasswordProblem(archive, member, "", PasswordSource::ProductionFile),
                  "no password was given (production.ini's password key; --password overrides it), but "
                  "data/testscript.scr in " + archive + " is encrypted");
    }
}

namespace {
int wipes = 0;
bool allZero = true;
} // namespace

// The reader's copy of the password is zero when it returns, whatever the
// outcome: read, wrong password, missing member, missing archive.
TEST_F(PackedFiles, PasswordCopyIsWipedOnEveryPath)
{
    setPasswordWipeCheck([](const unsigned char* copy, size_t size) {
        ++wipes;
        for (size_t i = 0; i < size; ++i)
            allZero = allZero && copy[i] == 0;
    });
    std::string archive = pack("w.vpd", "-m normal -p tavex");
    const std::string tooLong(600, 'k'); // cut to the cipher's block
    Bytes got;
    const struct {
        std::string archive;
        const char* member;
        const char* password;
        int status;
    } cases[] = {
        {archive, "data/testscript.scr", "tavex", 1},
        {archive, "data/testscript.scr", "wrong-password", 0},
        {archive, "data/nothing.here", "tavex", 0},
        {dir + "/missing.vpd", "data/testscript.scr", "tavex", 0},
        {archive, "data/testscript.scr", tooLong.c_str(), 0},
    };
    int expected = 0;
    for (const auto& c : cases) {
        allZero = true;
        EXPECT_EQ(extract(c.archive, c.member, c.password, got), c.status) << c.member;
        EXPECT_EQ(wipes, ++expected) << c.archive << " " << c.member;
        EXPECT_TRUE(allZero) << c.archive << " " << c.member;
    }
    setPasswordWipeCheck(nullptr);
}

TEST_F(PackedFiles, SolidMemberDecodesTheOnesBeforeIntoTheWindow)
{
    // The third member repeats the first two (noise both, so that nothing but
    // the history can shorten it): solid, it costs next to nothing.
    Bytes a(files[2].second.begin(), files[2].second.begin() + 30000);
    Bytes b(files[2].second.begin() + 30000, files[2].second.end());
    Bytes c = a;
    c.insert(c.end(), b.begin(), b.end());
    writeFile(dir + "/a.bin", a);
    writeFile(dir + "/b.bin", b);
    writeFile(dir + "/c.bin", c);
    std::string archive = pack("s.vpd", "--solid -p tavex", "a.bin b.bin c.bin");
    Shell list = shell(vpdpack() + " l " + archive);
    unsigned size = 0, packed = 0;
    std::string last = list.out.substr(list.out.rfind('\n', list.out.size() - 2) + 1);
    ASSERT_EQ(std::sscanf(last.c_str(), "%u %u", &size, &packed), 2);
    EXPECT_EQ(size, c.size());
    EXPECT_LT(packed, 2000u);
    Bytes got;
    ASSERT_EQ(extract(archive, "C.BIN", "tavex", got), 1);
    EXPECT_TRUE(got == c);

    // Damage the first member's data: the third can no longer be rebuilt.
    Bytes raw = readFile(archive);
    size_t first = 7 + 13 + 32 + std::strlen("A.BIN");
    raw[first + 40] ^= 0x55;
    writeFile(archive, raw);
    EXPECT_EQ(extract(archive, "C.BIN", "tavex", got), 0);
}

TEST_F(PackedFiles, NamesMatchWhateverTheCaseAndSlashes)
{
    std::string longName = std::string(150, 'n') + "/" + std::string(150, 'm');
    shell("mkdir -p " + dir + "/data/" + std::string(150, 'n'));
    writeFile(dir + "/data/" + longName, Bytes{'L'});
    std::string archive = pack("n.vpd", "");
    Bytes got;
    EXPECT_EQ(extract(archive, "data/testscript.scr", nullptr, got), 1);
    EXPECT_EQ(extract(archive, "DATA\\TESTSCRIPT.SCR", nullptr, got), 1);
    EXPECT_EQ(extract(archive, "Data\\TextureS/NOISE.png", nullptr, got), 1);
    EXPECT_TRUE(got == files[2].second);
    EXPECT_EQ(extract(archive, "data_testscript.scr", nullptr, got), 1); // "_" stands for a slash too
    EXPECT_EQ(extract(archive, "data/testscript.sc", nullptr, got), 0);
    EXPECT_EQ(extract(archive, "data/testscript.scr ", nullptr, got), 0);
    EXPECT_EQ(extract(archive, ("data/" + longName).c_str(), nullptr, got), 1);
    EXPECT_EQ(extract(archive, ("data/" + longName.substr(0, 250)).c_str(), nullptr, got), 0);
    Shell list = shell(vpdpack() + " l " + archive);
    EXPECT_NE(list.out.find("DATA\\TEXTURES\\NOISE.PNG"), std::string::npos) << list.out;
}

TEST_F(PackedFiles, VirtualFilesComeFromTheArchive)
{
    std::string archive = pack("data.vpd", "-p tavex");
    vfsetarchive(archive.c_str(), "tavex");
    VFile script("data/testscript.scr");
    ASSERT_TRUE(script.valid);
    ASSERT_EQ(script.size, files[0].second.size());
    EXPECT_EQ(std::memcmp(script.data, files[0].second.data(), script.size), 0);
    char line[64];
    vfgets(line, sizeof line, &script);
    EXPECT_GT(std::strlen(line), 0u);

    VFile* empty = vfopen("DATA/EMPTY.TXT");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->size, 0u);
    vfclose(empty);

    testing::internal::CaptureStderr();
    VFile missing("data/missing.scr");
    EXPECT_FALSE(missing.valid);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "warning: filename: data/missing.scr\ndata size: 0, ptr: 0, retVal: 0\n");
}

TEST_F(PackedFiles, DamagedArchivesFailWithoutHarm)
{
    for (const char* options : {"-m normal -p tavex", "-m audio", "--solid"}) {
        std::string archive = pack("d.vpd", options, "data/testscript.scr data/sound.raw data/scene.vsc");
        Bytes raw = readFile(archive);
        std::string damaged = dir + "/damaged.vpd";
        // Cuts and flipped bytes over the whole file: either the true member
        // or a clean failure.
        for (size_t i = 7; i < raw.size(); i += raw.size() / 41 + 1) {
            Bytes changed = raw;
            changed[i] ^= static_cast<unsigned char>(1 + i % 255);
            writeFile(damaged, changed);
            for (size_t f : {0, 3}) {
                Bytes got;
                if (extract(damaged, files[f].first.c_str(), "tavex", got) == 1) {
                    EXPECT_TRUE(got == files[f].second) << options << " byte " << i;
                }
            }
            writeFile(damaged, Bytes(raw.begin(), raw.begin() + static_cast<long>(i)));
            Bytes got;
            int st = extract(damaged, "data/scene.vsc", "tavex", got);
            if (st == 1) {
                EXPECT_TRUE(got == files[1].second) << options << " cut " << i;
            }
        }
    }
}

TEST_F(PackedFiles, ImpossibleSizesAreRefusedBeforeAllocating)
{
    std::string archive = pack("z.vpd", "", "data/testscript.scr");
    Bytes raw = readFile(archive);
    const size_t fileHeader = 7 + 13;
    Bytes huge = raw;
    // Unpacked size 4 GiB - 1 from a few KiB of packed data.
    for (int i = 0; i < 4; ++i)
        huge[fileHeader + 11 + i] = 0xFF;
    writeFile(dir + "/huge.vpd", huge);
    Bytes got;
    EXPECT_EQ(extract(dir + "/huge.vpd", "data/testscript.scr", nullptr, got), 0);
    // Packed size beyond the end of the file.
    Bytes past = raw;
    past[fileHeader + 7 + 3] = 0x40;
    writeFile(dir + "/past.vpd", past);
    EXPECT_EQ(extract(dir + "/past.vpd", "data/testscript.scr", nullptr, got), 0);
    // A stored member claiming more than it holds.
    std::string stored = pack("st.vpd", "-m stored", "data/one.txt");
    Bytes st = readFile(stored);
    st[fileHeader + 11] = 2;
    writeFile(stored, st);
    EXPECT_EQ(extract(stored, "data/one.txt", nullptr, got), 0);
}

TEST_F(PackedFiles, ToolCommandsAndExitCodes)
{
    std::string archive = pack("c.vpd", "-p tavex");
    Shell t = shell(vpdpack() + " t " + archive + " -p tavex");
    EXPECT_EQ(t.status, 0) << t.out;
    Shell tWrong = shell(vpdpack() + " t " + archive + " -p nope");
    EXPECT_EQ(tWrong.status, 1);
    EXPECT_NE(tWrong.out.find("FAILED"), std::string::npos);
    // Every encrypted member failing is the password's doing, and says so.
    EXPECT_NE(tWrong.out.find("the password is probably wrong"), std::string::npos) << tWrong.out;
    Shell tNone = shell(vpdpack() + " t " + archive);
    EXPECT_EQ(tNone.status, 1);
    EXPECT_NE(tNone.out.find("members are encrypted and no password was given"), std::string::npos) << tNone.out;

    std::string out = dir + "/x.out";
    EXPECT_EQ(shell(vpdpack() + " x " + archive + " data/scene.vsc -p tavex -o " + out).status, 0);
    EXPECT_TRUE(readFile(out) == files[1].second);
    Shell missing = shell(vpdpack() + " x " + archive + " data/nothing -p tavex -o " + out);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("vpdpack: cannot extract data/nothing"), std::string::npos) << missing.out;

    EXPECT_EQ(shell(vpdpack() + " l " + dir + "/no-such.vpd").status, 1);
    EXPECT_EQ(shell(vpdpack() + " a " + dir + "/y.vpd " + dir + "/no-such-file").status, 1);
    // A command line it does not understand: the usage, exit code 2.
    EXPECT_EQ(shell(vpdpack() + " a " + dir + "/y.vpd data -m fast").status, 2);
    EXPECT_EQ(shell(vpdpack() + " q " + archive).status, 2);
    EXPECT_EQ(shell(vpdpack()).status, 2);
}

TEST_F(PackedFiles, VersionsForeignBlocksAndOldCiphers)
{
    std::string archive = pack("v.vpd", "-m stored -p tavex", "data/one.txt");
    Bytes raw = readFile(archive);
    const size_t fileHeader = 7 + 13;
    const size_t version = fileHeader + 24;
    Bytes got;
    ASSERT_EQ(extract(archive, "data/one.txt", "tavex", got), 1);

    // Unpack versions 13 to 20 are read; others are refused.
    for (unsigned char v : {12, 21, 29}) {
        Bytes changed = raw;
        changed[version] = v;
        writeFile(archive, changed);
        EXPECT_EQ(extract(archive, "data/one.txt", "tavex", got), 0) << int(v);
    }
    // Before 2.0 another cipher was used: such a member is read as it is and
    // fails its checksum.
    Bytes old = raw;
    old[version] = 15;
    writeFile(archive, old);
    EXPECT_EQ(extract(archive, "data/one.txt", "tavex", got), 0);

    // Blocks of other types are stepped over by their sizes, with their data.
    Bytes foreign(raw.begin(), raw.begin() + fileHeader);
    const unsigned char block[] = {0, 0, 0x7A, 0x00, 0x80, 11, 0, 5, 0, 0, 0, 'x', 'x', 'x', 'x', 'x'};
    foreign.insert(foreign.end(), block, block + sizeof block);
    foreign.insert(foreign.end(), raw.begin() + fileHeader, raw.end());
    writeFile(archive, foreign);
    ASSERT_EQ(extract(archive, "data/one.txt", "tavex", got), 1);
    EXPECT_TRUE(got == Bytes{'x'});

    // A block whose header size is below 7 breaks the chain.
    Bytes broken = foreign;
    broken[fileHeader + 5] = 6;
    writeFile(archive, broken);
    EXPECT_EQ(extract(archive, "data/one.txt", "tavex", got), 0);
}
