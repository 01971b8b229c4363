#include "ReleaseFolder.h"

#include "ArchiveWriter.h"
#include "LicenceNotices.h"
#include "PackedFiles.h"
#include "ReleaseTexts.h"
#include "StagingFolder.h"
#include "StockLibraries.h"
#include "app/OrganiserDefaults.h"
#include "app/ProductionNames.h"
#include "platform/ChildProcess.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Libraries = ShippedLibraries;

int fail(const std::string& message)
{
    std::fprintf(stderr, "vpdpack: %s\n", message.c_str());
    return 1;
}

// The release player beside vpdpack in a build tree, else the installed one
// (bin/vpdpack -> lib/vplayer/vplayer-release).
std::string findReleasePlayer()
{
    const fs::path self = platform::selfExecutable();
    for (const fs::path& candidate : {self.parent_path() / "vplayer-release",
                                      self.parent_path().parent_path() / "lib" / "vplayer" / "vplayer-release"}) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec))
            return candidate.string();
    }
    return "";
}

bool readWholeFile(const fs::path& path, std::vector<unsigned char>& data)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool writeTextFile(const fs::path& path, const std::string& text, bool executable)
{
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out.flush())
            return false;
    }
    if (executable) {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add, ec);
        return !ec;
    }
    return true;
}

// The data archive of the release: the loose data/ packed afresh with the
// production's password when there is one (authors edit data/, the archive
// may be stale), else the production's own archive. What an author's tools
// leave in data/ stays out (PackedFiles.h); `verbose` lists what went in.
bool packArchive(const fs::path& production, const ProductionNames& names, const fs::path& to, bool verbose,
                 std::string& error)
{
    const fs::path loose = production / "data";
    std::error_code ec;
    if (!fs::is_directory(loose, ec)) {
        fs::copy_file(production / names.archive, to, ec);
        if (ec)
            error = "cannot copy " + (production / names.archive).string() + ": " + ec.message();
        else if (verbose)
            std::printf("copied %s\n", names.archive.c_str());
        return !ec;
    }
    FolderFiles files;
    if (!filesToPack(loose, files, error))
        return false;
    std::vector<PackInput> inputs;
    for (const std::string& path : files.packed) {
        const std::string name = fs::path(path).lexically_relative(production).generic_string();
        PackInput in;
        in.name = archiveMemberName(name);
        if (!readWholeFile(path, in.data)) {
            error = "cannot read " + path;
            return false;
        }
        inputs.push_back(std::move(in));
        if (verbose)
            std::printf("packed %s\n", name.c_str());
    }
    if (verbose)
        for (const std::string& path : files.leftOut)
            std::printf("left out %s\n", fs::path(path).lexically_relative(production).generic_string().c_str());
    PackOptions options;
    options.password = names.password;
    return writeArchive(to.string(), inputs, options, error);
}

// Where a file the production names (its soundtrack, its archive) lies in
// the release: below share/vplayer as below the production's folder, its
// subfolders made. A name that leads out of the production's folder has no
// place there.
bool placeInRelease(const fs::path& data, const std::string& name, fs::path& placed, std::string& error)
{
    const fs::path relative = fs::path(name).lexically_normal();
    if (relative.empty() || relative.is_absolute() || *relative.begin() == "..") {
        error = std::string(ProductionNames::kFileName) + " names " + name +
                ", which lies outside the production's folder; a release holds the production's own files only";
        return false;
    }
    placed = data / relative;
    std::error_code ec;
    fs::create_directories(placed.parent_path(), ec);
    if (ec)
        error = "cannot make " + placed.parent_path().string() + ": " + ec.message();
    return !ec;
}

// The shared libraries `player` loads that are not on a stock desktop, as
// ldd finds them here: soname and file.
bool librariesToShip(const std::string& player, Libraries& out, std::string& error)
{
    const std::string ldd = platform::findExecutable("ldd");
    std::string listing;
    if (ldd.empty() || platform::runCapturingOutput({ldd, player}, listing) != 0) {
        error = "cannot list the libraries of " + player + " with ldd: " + listing;
        return false;
    }
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string soname, arrow, file;
        words >> soname >> arrow >> file;
        if (arrow != "=>")
            continue; // the vDSO and the dynamic loader
        if (file == "not") {
            error = player + " needs " + soname + ", which is not on this system";
            return false;
        }
        if (!isStockLibrary(soname))
            out.emplace_back(soname, file);
    }
    return true;
}

uintmax_t folderBytes(const fs::path& folder)
{
    uintmax_t total = 0;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(folder, ec))
        if (e.is_regular_file(ec) && !e.is_symlink(ec))
            total += e.file_size(ec);
    return total;
}

std::string megabytes(uintmax_t bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", bytes / 1e6);
    return text;
}

// The player finds the libraries in lib/, and each of them the others, by
// a run path relative to its own place ($ORIGIN). LD_LIBRARY_PATH would
// split at a ':' in the release folder's name, and a library's own run path
// (libpulse's points to /usr/lib/x86_64-linux-gnu/pulseaudio) would send it
// to a folder a stranger's system may lack.
bool setRunPaths(const fs::path& folder, const Libraries& libraries, std::string& error)
{
    if (libraries.empty())
        return true;
    const std::string patchelf = platform::findExecutable("patchelf");
    if (patchelf.empty()) {
        error = "patchelf is needed to let the shipped libraries find each other (Debian package patchelf)";
        return false;
    }
    std::vector<std::pair<fs::path, std::string>> files{{folder / "bin" / "vplayer", "$ORIGIN/../lib"}};
    for (const auto& library : libraries)
        files.emplace_back(folder / "lib" / library.first, "$ORIGIN");
    for (const auto& [file, runPath] : files) {
        std::string output;
        if (platform::runCapturingOutput({patchelf, "--set-rpath", runPath, file.string()}, output) != 0) {
            error = "cannot set the run path of " + file.string() + ": " + output;
            return false;
        }
    }
    return true;
}

// A party's screen: started without options, the launcher offers
// fullscreen at the desktop's own resolution, the picture fitted with its
// aspect kept. Added to the release's production.ini unless the production
// chose its own display.
bool addPartyDefaults(const fs::path& ini)
{
    std::ofstream out(ini, std::ios::app | std::ios::binary);
    out << "\n# Added by vpdpack release: the launcher's default for a party's screen.\n"
           "fullscreen = desktop\n";
    return static_cast<bool>(out.flush());
}

// Packs `folder` into `tarball`, the folder's name at the top.
bool packTarball(const fs::path& folder, const fs::path& tarball, std::string& error)
{
    const std::string tar = platform::findExecutable("tar");
    std::string output;
    if (tar.empty() || platform::runCapturingOutput({tar, "-czf", tarball.string(), "-C",
                                                     folder.parent_path().string(), folder.filename().string()},
                                                    output) != 0) {
        error = "cannot write " + tarball.string() + ": " + output;
        return false;
    }
    return true;
}

// The production in `folder` as `player --check` finds it; its messages in `output`.
bool passesCheck(const std::string& player, const fs::path& folder, bool loose, std::string& output)
{
    std::vector<std::string> check{player, "--check", "--data-dir", folder.string()};
    if (loose)
        check.push_back("--loose");
    return platform::runCapturingOutput(check, output) == 0;
}

// bin/vplayer, lib/ and licences/ of the release in `made`.
bool shipPlayer(const std::string& player, const Libraries& libraries, const fs::path& made, std::string& error)
{
    std::error_code ec;
    fs::create_directories(made / "bin", ec);
    if (!ec)
        fs::copy_file(player, made / "bin" / "vplayer", ec);
    if (!ec && !libraries.empty())
        fs::create_directories(made / "lib", ec);
    for (const auto& [soname, file] : libraries)
        if (!ec)
            fs::copy_file(file, made / "lib" / soname, ec);
    if (ec) {
        error = "cannot fill " + made.string() + ": " + ec.message();
        return false;
    }
    return setRunPaths(made, libraries, error) && shipLicenceNotices(made, libraries, error);
}

// share/vplayer of the release: the soundtrack, production.ini (with the
// party's defaults when it sets no display) and the archive.
bool shipProduction(const fs::path& production, const ProductionNames& names, const fs::path& data, bool verbose,
                    std::string& error)
{
    fs::path music, archive;
    if (!placeInRelease(data, names.music, music, error) || !placeInRelease(data, names.archive, archive, error))
        return false;
    std::error_code ec;
    fs::copy_file(production / names.music, music, ec);
    if (ec) {
        error = "cannot copy " + (production / names.music).string() + ": " + ec.message();
        return false;
    }
    const fs::path ini = data / ProductionNames::kFileName;
    if (fs::exists(production / ProductionNames::kFileName, ec))
        fs::copy_file(production / ProductionNames::kFileName, ini, ec);
    if (ec || (names.fullscreen.empty() && !addPartyDefaults(ini))) {
        error = "cannot write " + ini.string();
        return false;
    }
    return packArchive(production, names, archive, verbose, error);
}

// The start script and README.txt, from the release's own production.ini as
// its player will read it.
bool writeReleaseTexts(const fs::path& made, std::string& error)
{
    ProductionNames names;
    OrganiserDefaults defaults;
    const fs::path ini = made / "share" / "vplayer" / ProductionNames::kFileName;
    if (!readProductionFile(ini.c_str(), names, error) || !organiserDefaults(names, defaults, error))
        return false;
    if (!writeTextFile(made / "start", releaseStartScript(names), true) ||
        !writeTextFile(made / "README.txt", releaseReadme(names, defaults), false)) {
        error = "cannot write the start script and README.txt into " + made.string();
        return false;
    }
    return true;
}

void printSizes(const fs::path& out, const Libraries& libraries)
{
    std::error_code ec;
    fs::path tarball = out;
    tarball += ".tar.gz";
    const uintmax_t total = folderBytes(out);
    const uintmax_t playerBytes = fs::file_size(out / "bin" / "vplayer", ec);
    uintmax_t libraryBytes = 0;
    for (const auto& library : libraries)
        libraryBytes += fs::file_size(out / "lib" / library.first, ec);
    const uintmax_t productionBytes = folderBytes(out / "share" / "vplayer");
    // The player's share: what the production does not bring, its libraries included.
    std::printf("%s: %s unpacked: the player %s and %zu libraries %s (%d %% of it), the production %s\n",
                out.c_str(), megabytes(total).c_str(), megabytes(playerBytes).c_str(), libraries.size(),
                megabytes(libraryBytes).c_str(),
                total ? static_cast<int>(100 * (playerBytes + libraryBytes) / total) : 0,
                megabytes(productionBytes).c_str());
    std::printf("%s: %s\n", tarball.c_str(), megabytes(fs::file_size(tarball, ec)).c_str());
}

} // namespace

int makeRelease(const ReleaseRequest& request)
{
    std::error_code ec;
    const fs::path production = fs::absolute(request.production, ec);
    fs::path out = fs::absolute(request.out, ec).lexically_normal();
    if (out.filename().empty())
        out = out.parent_path();
    if (!fs::is_directory(production, ec))
        return fail(request.production + " is not a folder");
    if (fs::exists(out, ec))
        return fail(request.out + " already exists; a release goes into a new folder");
    const std::string player = request.player.empty() ? findReleasePlayer() : request.player;
    if (player.empty() || !fs::is_regular_file(player, ec))
        return fail("no release player (vplayer-release) beside vpdpack; name one with --player");

    ProductionNames names;
    std::string error;
    if (!readProductionFile((production / ProductionNames::kFileName).c_str(), names, error))
        return fail(error);

    // What the release plays is checked by the player it ships with.
    std::string checkOutput;
    if (!passesCheck(player, production, fs::is_directory(production / "data", ec), checkOutput)) {
        std::fputs(checkOutput.c_str(), stderr);
        return fail(request.production + " has errors (vplayer --check); nothing was released");
    }
    Libraries libraries;
    if (!librariesToShip(player, libraries, error))
        return fail(error);

    StagingFolder staging(out);
    if (!staging.made())
        return fail("cannot make a folder beside " + out.string() + " to make the release in");
    const fs::path made = staging.folder();
    if (!shipPlayer(player, libraries, made, error) ||
        !shipProduction(production, names, made / "share" / "vplayer", request.verbose, error) ||
        !writeReleaseTexts(made, error))
        return fail(error);
    // And checked again as it ships: what stayed out of the archive must not
    // be what it plays.
    if (!passesCheck(player, made / "share" / "vplayer", false, checkOutput)) {
        std::fputs(checkOutput.c_str(), stderr);
        return fail("the release of " + request.production + " fails vplayer --check, though the production " +
                    "passes it (does it need a file left out of the archive? -v lists them); nothing was released");
    }
    if (!packTarball(made, staging.tarball(), error) || !staging.moveIntoPlace(error))
        return fail(error);
    printSizes(out, libraries);
    return 0;
}
