#pragma once
// Bounds on what one import may take. A hostile file can claim billions of
// vertices and have the library allocate without end, or loop for long; the
// importer caps its address space and its processor time before reading, so
// that such a file fails with one line of error instead of taking the
// machine down.

#include <string>

// `what` prefixes the message printed when the time runs out (the model's
// name). Returns false with `error` set when a limit cannot be set.
bool limitResources(unsigned long long bytes, unsigned seconds, const std::string& what, std::string& error);
