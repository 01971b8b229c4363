#pragma once
// The two texts a release folder holds beside the player: its start script
// and the README.txt for whoever runs it, a party's organisers first.
#include "app/OrganiserDefaults.h"
#include "app/ProductionNames.h"

#include <string>

// The start script: runs bin/vplayer with the script's options.
std::string releaseStartScript(const ProductionNames& names);

// README.txt: how to start it, how it shows without options (`defaults`,
// the release's production.ini), the keys and the organisers' options.
std::string releaseReadme(const ProductionNames& names, const OrganiserDefaults& defaults);
