#pragma once

// The player's entry point: parses the command line and runs the launcher,
// the demo or the capture.
int playerMain(int argc, char** argv);
