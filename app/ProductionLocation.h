#pragma once
// Which folder a run plays. A production in the working folder comes first,
// so that authors and tests keep playing what they stand in; an installed
// player started anywhere else plays the sample production installed beside
// it (share/vplayer of its own prefix). --data-dir skips the search.
#include <string>

// The installed production's folder for a player at `executable`
// (bin/vplayer -> share/vplayer); empty when it cannot be placed.
std::string installedProductionFolder(const std::string& executable);

// True when `folder` holds a production: its production.ini, its archive,
// or (when `loose`) the data/ folder.
bool holdsProduction(const std::string& folder, const std::string& archive, bool loose);

// Why the production installed in `folder` cannot be played although it is
// there: the folder cannot be searched, or its archive (with `loose`, its
// data/ folder) cannot be read. Empty when it can, and when nothing is
// installed there (no such folder, or no production in it).
std::string unreadableProduction(const std::string& folder, const std::string& archive, bool loose);

// The folder to play when no --data-dir was given: the working folder when it
// holds a production, else the installed one when that does and can be read,
// else the working folder (whose missing files are then reported as usual).
std::string chooseProductionFolder(const std::string& workingFolder, const std::string& installedFolder,
                                   const std::string& archive, bool loose);

// This process's own executable, from /proc/self/exe; empty when unknown.
std::string ownExecutable();
