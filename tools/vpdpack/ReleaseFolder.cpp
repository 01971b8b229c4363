#include "ReleaseFolder.h"

#include "ArchiveWriter.h"
#include "StockLibraries.h"
#include "app/ProductionNames.h"
#include "platform/ChildProcess.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

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
// may be stale), else the production's own archive.
bool packArchive(const fs::path& production, const ProductionNames& names, const fs::path& to, std::string& error)
{
    const fs::path loose = production / "data";
    std::error_code ec;
    if (!fs::is_directory(loose, ec)) {
        fs::copy_file(production / names.archive, to, ec);
        if (ec)
            error = "cannot copy " + (production / names.archive).string() + ": " + ec.message();
        return !ec;
    }
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(loose, ec))
        if (e.is_regular_file())
            files.push_back(fs::relative(e.path(), production).generic_string());
    std::sort(files.begin(), files.end());
    std::vector<PackInput> inputs;
    for (const std::string& name : files) {
        PackInput in;
        in.name = archiveMemberName(name);
        if (!readWholeFile(production / name, in.data)) {
            error = "cannot read " + (production / name).string();
            return false;
        }
        inputs.push_back(std::move(in));
    }
    PackOptions options;
    options.password = names.password;
    return writeArchive(to.string(), inputs, options, error);
}

// The shared libraries `player` loads that are not on a stock desktop, as
// ldd finds them here: soname and file.
bool librariesToShip(const std::string& player, std::vector<std::pair<std::string, std::string>>& out,
                     std::string& error)
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

std::string startScript(const ProductionNames& names)
{
    return "#!/bin/sh\n"
           "# Starts " + names.title + ". Options go on to the player; ./start --help lists them.\n"
           "here=$(dirname \"$(readlink -f \"$0\")\")\n"
           "# The shipped libraries load their own dependencies from lib/ too.\n"
           "LD_LIBRARY_PATH=\"$here/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}\" export LD_LIBRARY_PATH\n"
           "exec \"$here/bin/vplayer\" \"$@\"\n";
}

std::string readme(const ProductionNames& names)
{
    return names.title + "\n" + std::string(names.title.size(), '=') + "\n\n"
           "A real-time demo for Linux (x86-64, OpenGL). Nothing to install: unpack\n"
           "the folder anywhere and run ./start (or double-click it).\n\n"
           "Without options the launcher opens: pick the display and press Launch!.\n\n"
           "Keys while it plays\n"
           "  Escape        end at once\n"
           "  Space         pause and resume\n"
           "  Alt+Enter     switch between window and fullscreen\n\n"
           "For organisers: options skip the launcher and play at once\n"
           "  ./start --fullscreen=desktop    fullscreen at the monitor's own resolution,\n"
           "                                  picture scaled with its aspect kept\n"
           "  ./start --resolution 1920x1080  the picture's size (add --windowed for a window)\n"
           "  ./start --windowed              in a window\n"
           "  ./start --no-music              without sound\n"
           "  ./start --help                  every option\n\n"
           "Needs: an X11 or XWayland desktop with OpenGL, ALSA, PulseAudio or PipeWire\n"
           "for the sound. The libraries a stock system lacks are in lib/.\n";
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

// Packs `folder` into folder.tar.gz beside it, the folder's name at the top.
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
    const bool loose = fs::is_directory(production / "data", ec);
    std::vector<std::string> check{player, "--check", "--data-dir", production.string()};
    if (loose)
        check.push_back("--loose");
    std::string checkOutput;
    const int checked = platform::runCapturingOutput(check, checkOutput);
    if (checked != 0) {
        std::fputs(checkOutput.c_str(), stderr);
        return fail(request.production + " has errors (vplayer --check); nothing was released");
    }

    std::vector<std::pair<std::string, std::string>> libraries;
    if (!librariesToShip(player, libraries, error))
        return fail(error);

    const fs::path data = out / "share" / "vplayer";
    fs::create_directories(data, ec);
    fs::create_directories(out / "bin", ec);
    if (ec)
        return fail("cannot make " + data.string() + ": " + ec.message());
    fs::copy_file(player, out / "bin" / "vplayer", ec);
    if (!ec && !libraries.empty())
        fs::create_directories(out / "lib", ec);
    for (const auto& [soname, file] : libraries)
        if (!ec)
            fs::copy_file(file, out / "lib" / soname, ec);
    if (!ec)
        fs::copy_file(production / names.music, data / names.music, ec);
    if (!ec && fs::exists(production / ProductionNames::kFileName))
        fs::copy_file(production / ProductionNames::kFileName, data / ProductionNames::kFileName, ec);
    if (!ec && names.fullscreen.empty() && !addPartyDefaults(data / ProductionNames::kFileName))
        return fail("cannot write " + (data / ProductionNames::kFileName).string());
    if (ec)
        return fail("cannot fill " + out.string() + ": " + ec.message());
    if (!packArchive(production, names, data / names.archive, error))
        return fail(error);
    if (!writeTextFile(out / "start", startScript(names), true) ||
        !writeTextFile(out / "README.txt", readme(names), false))
        return fail("cannot write the start script and README.txt into " + out.string());

    fs::path tarball = out;
    tarball += ".tar.gz";
    if (!packTarball(out, tarball, error))
        return fail(error);

    const uintmax_t total = folderBytes(out);
    const uintmax_t playerBytes = fs::file_size(out / "bin" / "vplayer", ec);
    uintmax_t libraryBytes = 0;
    for (const auto& library : libraries)
        libraryBytes += fs::file_size(out / "lib" / library.first, ec);
    const uintmax_t productionBytes = folderBytes(data);
    // The player's share: what the production does not bring, its libraries included.
    std::printf("%s: %s unpacked: the player %s and %zu libraries %s (%d %% of it), the production %s\n",
                out.c_str(), megabytes(total).c_str(), megabytes(playerBytes).c_str(), libraries.size(),
                megabytes(libraryBytes).c_str(),
                total ? static_cast<int>(100 * (playerBytes + libraryBytes) / total) : 0,
                megabytes(productionBytes).c_str());
    std::printf("%s: %s\n", tarball.c_str(), megabytes(fs::file_size(tarball, ec)).c_str());
    return 0;
}
