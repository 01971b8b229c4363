// vpdpack: the production's archive tool.
//   vpdpack a ARCHIVE FILE|DIR... [-p PASSWORD] [-m stored|normal|audio] [--solid] [-v]
//   vpdpack l ARCHIVE
//   vpdpack t ARCHIVE [-p PASSWORD]
//   vpdpack x ARCHIVE MEMBER [-p PASSWORD] [-o OUT]
//   vpdpack release PRODUCTION OUT [--player FILE] [-v]
// Members are named after the paths as given ("data/a.scr" is stored as
// "DATA\A.SCR"); directories are added with every file below them, in name
// order, but for hidden files and folders, editor backups and swap files
// (PackedFiles.h); -v lists what was packed and what was left out. "t" and
// "x" read through the engine's own archive reader, so what they accept is
// what the player accepts. Exit status 0 on success, 1 on any
// failure with the reason on stderr, 2 for a command line it does not
// understand (with the usage).

#include "ArchiveListing.h"
#include "ArchiveWriter.h"
#include "PackedFiles.h"
#include "ReleaseFolder.h"
#include "resources/ArchiveReader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: vpdpack a ARCHIVE FILE|DIR... [-p PASSWORD] [-m stored|normal|audio] [--solid] [-v]\n"
    "       vpdpack l ARCHIVE\n"
    "       vpdpack t ARCHIVE [-p PASSWORD]\n"
    "       vpdpack x ARCHIVE MEMBER [-p PASSWORD] [-o OUT]\n"
    "       vpdpack release PRODUCTION OUT [--player FILE] [-v]\n";

int fail(const std::string& message)
{
    std::fprintf(stderr, "vpdpack: %s\n", message.c_str());
    return 1;
}

// A command line it does not understand.
int usageError(const std::string& message)
{
    std::fprintf(stderr, "vpdpack: %s\n%s", message.c_str(), kUsage);
    return 2;
}

bool readWholeFile(const std::string& path, std::vector<unsigned char>& data)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    data.clear();
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

struct Arguments {
    std::vector<std::string> positional;
    std::string password;
    std::string method = "normal";
    std::string output;
    bool solid = false;
    bool hasOutput = false;
    bool verbose = false;
};

bool parseArguments(int argc, char** argv, Arguments& args, std::string& error)
{
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            into = argv[++i];
            return true;
        };
        // A file to write: an option after -o is a forgotten name, never one
        // ("-" alone is stdout, "./-x" a file starting with a dash).
        auto path = [&](std::string& into) {
            if (!value(into))
                return false;
            if (into.size() > 1 && into[0] == '-') {
                error = a + " needs a file, not " + into;
                return false;
            }
            return true;
        };
        if (a == "-p") {
            if (!value(args.password))
                return false;
        } else if (a == "-m") {
            if (!value(args.method))
                return false;
            if (args.method != "stored" && args.method != "normal" && args.method != "audio") {
                error = "unknown method " + args.method + " (stored, normal or audio)";
                return false;
            }
        } else if (a == "-o") {
            if (!path(args.output))
                return false;
            args.hasOutput = true;
        } else if (a == "--solid") {
            args.solid = true;
        } else if (a == "-v") {
            args.verbose = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            args.positional.push_back(a);
        }
    }
    return true;
}

int commandAdd(const Arguments& args)
{
    if (args.positional.size() < 2)
        return usageError("a: give an archive and at least one file");
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.positional.size(); ++i) {
        const std::string& p = args.positional[i];
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            FolderFiles found;
            std::string error;
            if (!filesToPack(p, found, error))
                return fail(error);
            paths.insert(paths.end(), found.packed.begin(), found.packed.end());
            if (args.verbose)
                for (const std::string& left : found.leftOut)
                    std::printf("left out %s\n", left.c_str());
        } else {
            paths.push_back(p);
        }
    }
    std::vector<PackInput> inputs;
    for (const std::string& p : paths) {
        PackInput in;
        in.name = archiveMemberName(p);
        if (!readWholeFile(p, in.data))
            return fail("cannot read " + p);
        inputs.push_back(std::move(in));
        if (args.verbose)
            std::printf("packed %s\n", p.c_str());
    }
    PackOptions options;
    options.method = args.method == "stored" ? PackMethod::Stored
                   : args.method == "audio"  ? PackMethod::Audio
                                             : PackMethod::Normal;
    options.solid = args.solid;
    options.password = args.password;
    std::string error;
    if (!writeArchive(args.positional[0], inputs, options, error))
        return fail(error);
    return 0;
}

int commandList(const Arguments& args)
{
    if (args.positional.size() != 1)
        return usageError("l: give one archive");
    std::vector<ListedMember> members;
    bool solid = false;
    std::string error;
    if (!listArchive(args.positional[0], members, solid, error))
        return fail(error);
    std::printf("%s%s\n", args.positional[0].c_str(), solid ? " (solid)" : "");
    std::printf("%10s %10s %6s %8s %3s %s\n", "size", "packed", "method", "crc32", "ver", "name");
    for (const ListedMember& m : members) {
        const char* method = m.method == 0x30 ? "stored" : "rar20";
        std::printf("%10u %10u %6s %08x %3u %s%s%s\n", m.unpackedSize, m.packedSize, method, m.crc, m.version,
                    m.name.c_str(), m.encrypted ? " *" : "", m.solid ? " +" : "");
    }
    return 0;
}

int commandTest(const Arguments& args)
{
    if (args.positional.size() != 1)
        return usageError("t: give one archive");
    std::vector<ListedMember> members;
    bool solid = false;
    std::string error;
    if (!listArchive(args.positional[0], members, solid, error))
        return fail(error);
    int failed = 0;
    int encrypted = 0;
    int encryptedFailed = 0;
    for (const ListedMember& m : members) {
        unsigned char* data = nullptr;
        uint32_t size = 0;
        int status = extractMember(args.positional[0].c_str(), m.name.c_str(), args.password.c_str(), &data, &size);
        std::free(data);
        std::printf("%s %s\n", m.name.c_str(), status == 1 ? "OK" : "FAILED");
        if (status != 1)
            ++failed;
        // An empty member checks out under any password: it says nothing.
        if (m.encrypted && m.unpackedSize > 0) {
            ++encrypted;
            if (status != 1)
                ++encryptedFailed;
        }
    }
    if (failed) {
        std::string message = std::to_string(failed) + " of " + std::to_string(members.size()) + " members failed";
        // Every encrypted member with data failing its check is a
        // password's doing, not damage: say so rather than leave a column of
        // FAILED.
        if (encrypted > 0 && args.password.empty())
            message += "; members are encrypted and no password was given (-p PASSWORD)";
        else if (encrypted > 0 && encryptedFailed == encrypted)
            message += "; every encrypted member failed: the password is probably wrong";
        return fail(message);
    }
    return 0;
}

int commandExtract(const Arguments& args)
{
    if (args.positional.size() != 2)
        return usageError("x: give an archive and a member");
    unsigned char* data = nullptr;
    uint32_t size = 0;
    int status = extractMember(args.positional[0].c_str(), args.positional[1].c_str(), args.password.c_str(),
                               &data, &size);
    if (status != 1)
        return fail("cannot extract " + args.positional[1] + " from " + args.positional[0] +
                    " (missing, damaged, or wrong password)");
    bool toStdout = !args.hasOutput || args.output == "-";
    FILE* f = toStdout ? stdout : std::fopen(args.output.c_str(), "wb");
    if (!f) {
        std::free(data);
        return fail("cannot write " + args.output);
    }
    bool ok = std::fwrite(data, 1, size, f) == size;
    ok = (toStdout ? std::fflush(f) : std::fclose(f)) == 0 && ok;
    std::free(data);
    return ok ? 0 : fail("cannot write " + (toStdout ? std::string("to stdout") : args.output));
}

// release PRODUCTION OUT [--player FILE] [-v]: its own options, none of the archive's.
int commandRelease(int argc, char** argv)
{
    ReleaseRequest request;
    std::vector<std::string> positional;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--player") {
            if (i + 1 >= argc || argv[i + 1][0] == '-')
                return usageError("--player needs a file");
            request.player = argv[++i];
        } else if (a == "-v") {
            request.verbose = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2)
        return usageError("release: give a production's folder and the folder to make");
    request.production = positional[0];
    request.out = positional[1];
    return makeRelease(request);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return usageError("no command");
    std::string command = argv[1];
    if (command == "-h" || command == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    if (command == "release")
        return commandRelease(argc, argv);
    Arguments args;
    std::string error;
    if (!parseArguments(argc, argv, args, error))
        return usageError(error);
    if (command == "a")
        return commandAdd(args);
    if (command == "l")
        return commandList(args);
    if (command == "t")
        return commandTest(args);
    if (command == "x")
        return commandExtract(args);
    return usageError("unknown command " + command);
}
