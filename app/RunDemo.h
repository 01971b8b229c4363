#pragma once

// The whole life of a demo run after the launcher: the engine window, the
// capability checks, sound, the data source, then the reload, restart and
// message loops, and the orderly shutdown. Returns 0; fatal errors end the
// process from inside the error boxes.
int runDemo(bool music, bool fullscreen, int width, int height, int samples, float anisotropy,
            bool logging, bool atiShadows);
