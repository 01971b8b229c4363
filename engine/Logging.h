#pragma once

// The run's logging switch: with it on, the extension list, the frame
// statistics and the resource dumps are written to their files.
bool loggingEnabled();
void setLoggingEnabled(bool on);
