#pragma once
// What a run stopped by SIGINT or SIGTERM says: that it was interrupted, at
// which demo time, and what a capture holds by then (everything up to there,
// complete). The exit code (128 + the signal) is the platform layer's.

#include <string>

// "vplayer: interrupted by SIGTERM at demo time 14680 ms; frames holds the
// 368 frames up to there". demoTimeMs < 0: not playing yet (the launcher);
// `written` empty: nothing was being written.
std::string interruptionMessage(const char* signalName, int demoTimeMs, const std::string& written, int frames);

// Prints the message for the signal that interrupted the process, once;
// nothing when none did.
void reportInterruption(int demoTimeMs, const std::string& written = std::string(), int frames = 0);
