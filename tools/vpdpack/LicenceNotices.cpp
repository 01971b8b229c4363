#include "LicenceNotices.h"

#include "platform/ChildProcess.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The libraries linked into the release player from their static archives
// (VP_RELEASE_LINK in cmake/ExternalLibraries.cmake; the C++ library and
// libgcc, linked in too, are under GCC's runtime exception, which asks for
// no notice). A library added there belongs here. Each one's package is
// found by its shared library: the installed vplayer needs that one, so its
// package is on every machine vpdpack is installed on, unlike the -dev
// package that holds the archive; both come from one source, with one
// copyright file.
struct BuiltInLibrary {
    const char* name;
    const char* archive; // linked into the player
    const char* shared;  // the same library's shared object
};
const BuiltInLibrary kBuiltIn[] = {
    {"SDL2", "libSDL2.a", "libSDL2-2.0.so.0"},
    {"FLTK", "libfltk.a", "libfltk.so.1.3"},
    {"GLU", "libGLU.a", "libGLU.so.1"},
    {"libpng", "libpng16.a", "libpng16.so.16"},
    {"zlib", "libz.a", "libz.so.1"},
    {"libjpeg-turbo", "libturbojpeg.a", "libturbojpeg.so.0"},
    {"Vorbis", "libvorbisfile.a", "libvorbisfile.so.3"},
    {"Vorbis", "libvorbis.a", "libvorbis.so.0"},
    {"Ogg", "libogg.a", "libogg.so.0"},
};

// One library whose notice ships: what README.txt calls it, the paths dpkg
// may know its file by, and the package found.
struct Notice {
    std::string library;
    std::vector<std::string> queries;
    std::string package;
};

// A file in /lib is registered under /usr/lib on some systems and the other
// way round on others (the merged /usr), and ldd names a library by its
// soname's link, which the package may register or only the file it leads to.
std::vector<std::string> pathsOf(const std::string& file)
{
    std::vector<std::string> paths{file};
    std::error_code ec;
    const fs::path real = fs::canonical(file, ec);
    if (!ec && real != file)
        paths.push_back(real.string());
    for (size_t i = 0, n = paths.size(); i < n; ++i) {
        if (paths[i].rfind("/usr/", 0) == 0)
            paths.push_back(paths[i].substr(4));
        else
            paths.push_back("/usr" + paths[i]);
    }
    return paths;
}

// dpkg-query -S prints "package[:arch][, package...]: path" for each path
// it knows and complains on its own line about the others.
bool parseOwner(const std::string& line, std::string& package, std::string& path)
{
    const size_t colon = line.find(": ");
    if (colon == std::string::npos || line.rfind("dpkg", 0) == 0)
        return false;
    package = line.substr(0, line.find_first_of(":, "));
    path = line.substr(colon + 2);
    return !package.empty() && !path.empty() && path[0] == '/';
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Sets each notice's package with one dpkg-query for all of them.
bool findPackages(std::vector<Notice>& notices, std::string& error)
{
    const std::string dpkg = platform::findExecutable("dpkg-query");
    if (dpkg.empty()) {
        error = "dpkg-query is needed to find the licence notices of the release's libraries (a Debian system)";
        return false;
    }
    std::vector<std::string> command{dpkg, "-S"};
    for (const Notice& notice : notices)
        command.insert(command.end(), notice.queries.begin(), notice.queries.end());
    std::string output;
    platform::runCapturingOutput(command, output); // 1 when any one path is unknown, which most are
    std::istringstream lines(output);
    std::string line, package, path;
    while (std::getline(lines, line)) {
        if (!parseOwner(line, package, path))
            continue;
        for (Notice& notice : notices)
            for (const std::string& query : notice.queries)
                if (notice.package.empty() &&
                    (path == query || (query.find('*') != std::string::npos &&
                                       endsWith(path, query.substr(query.rfind('/'))))))
                    notice.package = package;
    }
    for (const Notice& notice : notices)
        if (notice.package.empty()) {
            error = "no Debian package holds " + notice.library + " (dpkg-query -S " + notice.queries.front() +
                    "), so its licence notice cannot ship with the release";
            return false;
        }
    return true;
}

std::string listing(const std::vector<Notice>& notices)
{
    std::string text = "The free software libraries this release ships in lib/ or has built into\n"
                       "bin/vplayer, and the file of each one's licence and copyright notices\n"
                       "(its Debian package's copyright file):\n\n";
    size_t width = 0;
    for (const Notice& notice : notices)
        width = std::max(width, notice.library.size());
    for (const Notice& notice : notices)
        text += "  " + notice.library + std::string(width + 2 - notice.library.size(), ' ') + notice.package + ".txt\n";
    return text;
}

} // namespace

bool shipLicenceNotices(const fs::path& folder, const ShippedLibraries& shipped, std::string& error)
{
    std::vector<Notice> notices;
    for (const auto& [soname, file] : shipped)
        notices.push_back({"lib/" + soname, pathsOf(file), ""});
    for (const BuiltInLibrary& library : kBuiltIn)
        notices.push_back({std::string(library.name) + " in bin/vplayer (" + library.archive + ")",
                           {std::string("/usr/lib/*/") + library.shared, std::string("/lib/*/") + library.shared},
                           ""});
    if (!findPackages(notices, error))
        return false;

    const fs::path licences = folder / "licences";
    std::error_code ec;
    fs::create_directories(licences, ec);
    if (ec) {
        error = "cannot make " + licences.string() + ": " + ec.message();
        return false;
    }
    for (const Notice& notice : notices) {
        const fs::path copyright = fs::path("/usr/share/doc") / notice.package / "copyright";
        const fs::path to = licences / (notice.package + ".txt");
        if (!fs::exists(to, ec) && !ec)
            fs::copy_file(copyright, to, ec);
        if (ec) {
            error = "cannot ship " + copyright.string() + ", the licence notice of " + notice.library + ": " +
                    ec.message();
            return false;
        }
    }
    std::ofstream index(licences / "README.txt", std::ios::binary);
    index << listing(notices);
    if (!index.flush()) {
        error = "cannot write " + (licences / "README.txt").string();
        return false;
    }
    return true;
}
