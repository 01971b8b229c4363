#pragma once
// Where the music is, as the sound output hears it. After every buffer it
// fills, the audio thread notes the music's position and the performance
// counter; the frame loop reads the latest note.
//
// The position noted is that of the start of the buffer just filled: the
// buffer goes to the device right then and is heard from that moment on.

#include <cstdint>

namespace platform {

// Starts and stops the notes; called by the sound output as it opens and closes.
void watchMusicPosition();
void stopWatchingMusicPosition();

// Called by the audio thread after each buffer: `heard` is false when the
// buffer holds no music (none started, paused, played out), else `ms` is the
// music's position at the buffer's start.
void noteMusicPosition(bool heard, double ms);

// The latest note: `ms` into the music when the performance counter read
// `counter`. False while no music plays (none started, paused, played out).
bool heardMusicPosition(double& ms, int64_t& counter);

} // namespace platform
