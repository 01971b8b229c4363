#pragma once
// The engine's error boxes. Every message is formatted into a 200-byte buffer
// (longer texts are cut, never overflowed) and shown in a box titled "error".
// A fatal box carries the stop icon and ends the process with exit code 1 once
// it is closed: a fatal call never returns to its caller.

#include <string>

void errorBox(const char* text, bool fatal);
// "%s: %i"
void errorBoxInt(const char* text, int value, bool fatal);
// "%s: %s"
void errorBoxStr(const char* text, const char* detail, bool fatal);

// Lines written on stderr after the next fatal box's own line, before the
// process ends: what explains the error beyond its own text (the script's
// notes). Each line ends in a line feed; empty for none.
void setFatalErrorNotes(const std::string& lines);

// Reads the first pending GL error; when there is one, shows the fatal box
// "GL error (<name>) in: <place>".
void checkGLError(const char* place);

// The name of a GL error code: GL_INVALID_ENUM ... GL_OUT_OF_MEMORY, else "Unknown error".
const char* glErrorName(unsigned int code);

constexpr int kErrorTextSize = 200;
