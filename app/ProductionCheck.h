#pragma once
// A first look at the folder a run plays from, before anything is opened:
// someone who starts the player in the wrong folder learns what is missing
// and how to name a production's folder, in one line on stderr, ahead of the
// messages the loaders give when they meet the gap.

#include <string>

// The files a run needs from its folder.
struct ProductionFiles {
    const char* archive;    // the data archive (unless the data is loose)
    const char* looseDir;   // the folder of loose data files (--loose)
    const char* soundtrack; // read from disk beside the data
};

// The hint for the working folder `folder`, or "" when nothing is missing.
// `loose`: the data comes from looseDir instead of the archive; `soundtrack`:
// the run plays or writes the soundtrack.
std::string missingProductionHint(const ProductionFiles& files, const std::string& folder, bool loose,
                                  bool soundtrack);

// Writes the hint for the working folder to stderr, if there is one.
void reportMissingProduction(const ProductionFiles& files, bool loose, bool soundtrack);
