#include "app/SoundlessRun.h"

#include "gl/ErrorBox.h"
#include "platform/MessageBox.h"

void playWithoutSoundOrQuit()
{
    if (dialogsDisabled())
        errorBox("could not init sound (--no-music plays without sound; --audio-driver dummy keeps the music's "
                 "clock without a sound device)",
                 true);
    if (!askYesNo("error", "could not init sound: no sound device opens. Play without music?", false))
        exitProcess(1);
}
