// The process-wide generator must repeat the C runtime's sequence exactly:
// seeded trees and particle fields depend on it.

#include "math/Random.h"

#include <gtest/gtest.h>

TEST(Random, SequencesForKnownSeeds)
{
    // Computed independently: state = state * 214013 + 2531011 (mod 2^32),
    // value = (state >> 16) & 0x7FFF.
    seedRandom(100);
    for (int expected : {365, 1216, 5415, 16704, 24504, 11254})
        EXPECT_EQ(nextRandom(), expected);

    // Seed 1 is where the state starts and what the C runtime gives unseeded.
    seedRandom(1);
    for (int expected : {41, 18467, 6334})
        EXPECT_EQ(nextRandom(), expected);
}

TEST(Random, StaysInRangeAndReseedRepeats)
{
    seedRandom(0xFFFFFFFFu);
    int first[50];
    for (int& v : first) {
        v = nextRandom();
        EXPECT_GE(v, 0);
        EXPECT_LE(v, kRandomMax);
    }
    seedRandom(0xFFFFFFFFu);
    for (int v : first)
        EXPECT_EQ(nextRandom(), v);
}
