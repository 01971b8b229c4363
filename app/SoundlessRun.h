#pragma once
// A run with music whose sound device does not open. From a shell, or
// wherever boxes are off, that is fatal, and the message names the options
// that play without one. A person who double-clicked the player, or pressed
// Launch!, has no terminal and no options at hand: a box asks them whether
// to play without music instead.

// Returns when the run is to go on without music; otherwise ends the
// process with exit code 1.
void playWithoutSoundOrQuit();
