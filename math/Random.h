#pragma once
// The process-wide pseudo-random generator: the classic C runtime's linear
// congruential generator (state * 214013 + 2531011, result bits 16 to 30), so
// that a given seed grows the same tree and scatters the same particles on
// every platform. One state for the whole process; the state starts at 1.
// Single-threaded, like the rest of the engine.

constexpr int kRandomMax = 0x7FFF;

// Restarts the sequence from seed.
void seedRandom(unsigned int seed);
// The next value, 0 to kRandomMax.
int nextRandom();
