#pragma once
// The names a production plays under: the window's title, the soundtrack
// beside the data, the data archive and its password. The sample
// production's are the defaults, so it and every production made for it play
// unchanged. A production names its own in a file "production.ini" in its
// folder, one "key = value" a line (keys title, music, archive, password,
// the defaults launcher, fullscreen, resolution, and render-target: how
// large its wrapped scenes are drawn, RenderTargetSize.h;
// blank lines and lines starting with '#' or ';' are skipped), or on the
// command line, which wins over the file.
#include "effects/RenderTargetSize.h"

#include <string>

struct ProductionNames {
    static constexpr const char* kFileName = "production.ini";

    std::string title = "Quorvantix";
    std::string music = "velmorprocess-zqfinal.ogg";
    std::string archive = "data.vpd";
    std::string password = "tavex";
    // What it starts with without options (OrganiserDefaults.h); empty: not set.
    std::string launcher, fullscreen, resolution;
    RenderTargetSizing renderTarget;

    // The launcher's caption: the group's name before the default title.
    std::string launcherCaption() const;

    // Sets `key` (one of the names above) to value; false for any other key.
    bool set(const std::string& key, const std::string& value);
};

// Reads the file at path over `names`; a missing file changes nothing. A
// line that is not "key = value", a key the file does not know or a password
// the archive cannot take fails with "PATH:LINE: what is wrong" in error, and
// nothing after it is read; so does a folder in the file's place (without a
// line). A value in double quotes keeps the blanks at its ends; a byte-order
// mark and Windows line ends are taken as they come.
bool readProductionFile(const char* path, ProductionNames& names, std::string& error);
// Whether the archive can take `password` whole, and what to say when not:
// "the password is longer than the archive's limit of N characters".
bool passwordFits(const std::string& password);
std::string passwordTooLong();
