#pragma once
// Which files of a folder go into an archive that others will get: an
// author's data/ also holds what their tools leave there (a .git folder
// with its remote's address, an editor's swap file and backups), and none
// of it belongs in a production.
#include <filesystem>
#include <string>
#include <vector>

struct FolderFiles {
    std::vector<std::string> packed;  // the files to pack, in name order
    std::vector<std::string> leftOut; // what stays out: a folder once ("data/.git/"), not its files
};

// True for a name (one path component) that stays out: hidden (".git",
// ".intro.scr.swp"), an editor's backup ("intro.scr~", "#intro.scr#",
// "intro.scr.bak") or swap file ("intro.scr.swp", "intro.scr.swo").
bool isLeftOutName(const std::string& name);

// Walks `folder` and sorts what is below it into packed and left out, each
// named as the folder was given followed by the path below it
// ("data/scenes/a.scn"); false with the reason in `error` when the folder
// cannot be read.
bool filesToPack(const std::filesystem::path& folder, FolderFiles& out, std::string& error);
