#pragma once

#include <string>

// The run's logging switch: with it on, the extension list, the frame
// statistics and the resource dumps are written to their files.
bool loggingEnabled();
void setLoggingEnabled(bool on);
// The folder the log files go to ("." by default), and the path of the log
// file `name` in it.
void setLogFolder(const std::string& folder);
std::string logPath(const char* name);
