#pragma once
// Which SDL audio drivers the sound output tries, in order. An empty name
// stands for SDL's own choice (its first driver that starts, or the one
// SDL_AUDIODRIVER names).
//
// A driver asked for by name (--audio-driver) is the only one tried; so is
// SDL's choice when SDL_AUDIODRIVER is set, since the user then picked it.
// Otherwise SDL's choice comes first and then every other driver SDL offers
// (PipeWire, PulseAudio, ALSA, ...), except those that make no sound: a
// driver that starts but whose device cannot be opened does not end the
// search.

#include <string>
#include <vector>

namespace platform {

std::vector<std::string> audioDriversToTry(const std::string& forced, const char* environment,
                                           const std::vector<std::string>& available);

} // namespace platform
