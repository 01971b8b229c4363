# Errors a person sees without a terminal. With boxes on, a fatal error is
# shown in a box, even on an X server without the core font SDL's own box
# asks for (this one), and the player ends once it is closed. A run whose
# sound device does not open asks whether to play without music: yes plays
# on in silence, no ends it.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
unset VP_NO_DIALOGS

mkdir broken
printf 'resolution = wide\n' >broken/production.ini
start_player --data-dir broken --windowed
wait_window error
press Return
wait_player
expect_rc 1
grep -q '^error: ' "$ERRFILE" || fail "the fatal error is not on stderr too: $ERR"

QUESTION="question: could not init sound: no sound device opens. Play without music?"
start_player --windowed --resolution 320x240 --audio-driver no-such-driver
wait_window error
press Return
wait_window
quit_with_escape
expect_rc 0
expect_stderr_line "$QUESTION"

start_player --windowed --resolution 320x240 --audio-driver no-such-driver
wait_window error
press Escape
wait_player
expect_rc 1
expect_stderr_line "$QUESTION"
echo ok
