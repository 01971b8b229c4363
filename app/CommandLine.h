#pragma once
#include "app/RunOptions.h"

#include <string>

enum class CommandAction {
    Launcher, // no arguments: show the launcher dialog
    Run,      // play (or capture) with the parsed options
    Help,
    Version,
    Error,
};

// Parses the arguments after the program name. On Error, `error` says why.
CommandAction parseCommandLine(int argc, const char* const* argv, RunOptions& options, std::string& error);

const char* commandLineHelp();

// The player's entry point: parses the command line and runs the launcher,
// the demo or the capture.
int playerMain(int argc, char** argv);
