#pragma once
// The whole production checked without playing it (vplayer --check): the
// script parsed as a run parses it, every event tested against the effects
// the player registers and the signal codes they declare, and every file the
// script and its scenes name loaded with the player's own readers, in their
// recoverable mode. No window, no sound.
//
// Messages read like a compiler's, "FILE:LINE: error|warning: text", so that
// editors can jump to them. Errors are what would stop or break a run;
// warnings are what a run survives but an author most likely did not mean.

#include "app/ProductionNames.h"

#include <string>
#include <vector>

struct CheckMessage {
    std::string file;
    int line = 0; // 0: the file as a whole
    bool error = true;
    std::string text;
    // What explains another message or a likely slip the run accepts
    // silently; counted neither as an error nor as a warning.
    bool note = false;
};

// "FILE:LINE: error: text" (no LINE when it is 0; "note:" for a note).
std::string formatCheckMessage(const CheckMessage& message);

// Checks the production in the working folder, reading data through the
// virtual file layer as it is set up (archive or loose). `soundtrack` is read
// from disk; empty to skip it.
std::vector<CheckMessage> checkProduction(const char* scriptPath, const char* soundtrack);

bool hasErrors(const std::vector<CheckMessage>& messages);

// The environment variable that asks a check for the files it read: the
// name of the file to write them to (a FileSnapshot), for live reload.
inline constexpr const char* kCheckSnapshotVariable = "VP_CHECK_SNAPSHOT";

// vplayer --check in the working folder, from the production's archive or
// (loose) from data/ on disk: every message on stderr, a count on stdout. 0
// when there are no errors, else 1. `soundtrack`: the run plays it, so it is
// checked.
int runProductionCheck(bool loose, const ProductionNames& names, bool soundtrack);
