#pragma once
// What the overlay shows of a production check's output (--check, run by the
// watch): the checker's "FILE:LINE: error: ..." lines and the player's own
// "error: ...", each followed by the notes the checker gives at the same
// place ("FILE:LINE: note: ..."), which say what the error's own text leaves
// unsaid (the word a script line stopped at, the file line an event number
// means). Warnings and notes elsewhere stay on stderr.

#include <string>

// `heading` on the first line, then those lines of `output`, each ended by a
// line feed.
std::string checkErrorLines(const char* heading, const std::string& output);
