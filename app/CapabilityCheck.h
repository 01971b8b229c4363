#pragma once

// The capabilities a run needs: the four required extensions, in order, each
// fatal when missing, and the texture-unit warning. Needs a current context.
void checkCapabilities();

// Warns, without stopping the run, when fewer than three texture units exist.
void warnAboutTextureUnits(int units);
