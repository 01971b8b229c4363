#pragma once
// The licence notices of a release, in its licences/ folder. The libraries
// in lib/ (libpulse, libsndfile, mpg123 and lame under the LGPL; FLAC, Opus,
// Vorbis, Ogg and Wayland under BSD and MIT licences) and those linked into
// the player from their static archives (SDL2, FLTK, GLU, libpng, zlib,
// libjpeg-turbo, Vorbis, Ogg) ask for their notices in a binary
// distribution. Debian keeps each package's notices in
// /usr/share/doc/PACKAGE/copyright: a release ships that file of every
// package a library of it comes from, as licences/PACKAGE.txt, and
// licences/README.txt names the file of each library.
//
// The package of a shipped library is asked of dpkg by the file's path; the
// statically linked ones, which leave no file of theirs in the release, are
// named in LicenceNotices.cpp, as cmake/ExternalLibraries.cmake links them.
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using ShippedLibraries = std::vector<std::pair<std::string, std::string>>; // soname, file on this system

// Fills `folder`/licences; false with the reason in `error` when a library's
// package or its copyright file cannot be found, since a release without
// them must not go out.
bool shipLicenceNotices(const std::filesystem::path& folder, const ShippedLibraries& shipped, std::string& error);
