#pragma once
// Where the music is, as the sound output hears it. After every mixed buffer
// the mixer's thread notes the music's position and the performance counter;
// the frame loop reads the latest note.
//
// The position noted is that of the start of the buffer just mixed: the
// buffer goes to the device right then and is heard from that moment on.

#include <cstdint>

namespace platform {

// Starts and stops the notes; called by the sound output as it opens and closes.
void watchMusicPosition();
void stopWatchingMusicPosition();

// The latest note: `ms` into the music when the performance counter read
// `counter`. False while no music plays (none started, paused, played out).
bool heardMusicPosition(double& ms, int64_t& counter);

} // namespace platform
