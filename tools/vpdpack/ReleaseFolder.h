#pragma once
// vpdpack release: a production made into a folder that plays on a desktop
// where vplayer was never installed, as party competitions want an entry,
// plus a .tar.gz of that folder.
//
// The folder mirrors an installed player, so the release player finds its
// production beside itself without being told:
//   start                  the start script; hands its options on
//   README.txt             how to start it, how it shows, the keys, the
//                          organisers' options
//   bin/vplayer            the release player (vplayer-release), which plays
//                          share/vplayer wherever it is started from
//   lib/                   the shared libraries it needs that a stock desktop
//                          lacks; it and they find them by $ORIGIN run paths
//   licences/              the notices of those libraries and of the ones
//                          linked into the player (LicenceNotices.h)
//   share/vplayer/         the archive (packed with the production's password
//                          when the production has loose data/, without
//                          hidden files, editor backups and swap files), the
//                          soundtrack, production.ini, in the subfolders the
//                          production has them in
#include <string>

struct ReleaseRequest {
    std::string production; // the production's folder
    std::string out;        // the release folder to make; OUT.tar.gz beside it
    std::string player;     // the release player; empty: the one beside vpdpack
    bool verbose = false;   // -v: list what goes into the archive and what stays out
};

// Makes the release beside OUT and moves it there only when whole; 0 on
// success, 1 with the reason on stderr, leaving nothing behind.
int makeRelease(const ReleaseRequest& request);
