#pragma once
// The effect reference of the manual, made from the registration table and
// each effect class's signal declarations. Only the one-line descriptions of
// the classes live here; a registered class without one is an error, so a new
// effect cannot reach the manual undescribed.

#include <string>

namespace effecttable {

// The markdown between the manual's markers. Empty, with `error` set, when a
// registered class has no description here.
std::string render(std::string& error);

// The lines that mark the generated part of a manual.
extern const char* const kBeginMarker;
extern const char* const kEndMarker;

} // namespace effecttable
