#pragma once
// How bad scene data is reported.
//
// The player treats a broken scene file as fatal: the message goes to the
// error box, which ends the process. The scene-reader fuzz target instead
// needs to feed thousands of broken files to one process, so it switches the
// scene code to recoverable mode: the message is kept (lastSceneError), no box
// is shown, and the failure travels back up as a false or null return, after
// which SceneReader::load frees what it had built and returns none. Only the
// fuzz target and the tests of this mode switch it on; the player never does.
// Warnings are shown as usual in normal mode and only kept in recoverable mode.

// Reports `message` (already fully worded) as a fatal scene error. In normal
// mode it does not return; in recoverable mode it keeps the message and
// returns false.
bool sceneError(const char* message);
// Reports `message` as a warning (a box without the stop icon); reading goes on.
void sceneWarning(const char* message);

void setSceneErrorsRecoverable(bool on);
bool sceneErrorsRecoverable();
// The last message reported in recoverable mode (fatal or warning); "" if none.
const char* lastSceneError();
