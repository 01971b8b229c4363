# The production playing with the live controls in use: the keys toggle
# effects (1 to 7, B, F), step the target's camera (N), pause and resume it
# (H), skip its clock (arrows, held), change the step (Up, Down), toggle its
# shadows (S, P) and stop everything but the essentials (0). The GL error
# state is read after every effect, so a key that leaves GL broken ends the
# run; Escape then ends it normally with nothing on stderr.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

hold() {
  xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
  xdotool keydown "$1"
  sleep "$2"
  xdotool keyup "$1"
}

start_player --check-gl --windowed --no-music --resolution 320x240
wait_window
# Wait for the first frames: keys taken while the effects load reach none.
sleep 3
kill -0 "$PID" 2>/dev/null || fail "player ended early: $(cat "$ERRFILE")"
press 1 2 3 4 5 6 7 b f
sleep 0.5
press 1 n n h
sleep 0.3
press h Up Up Down
hold Right 0.6
hold Left 0.4
press s p s p
sleep 0.3
press 7 7 2 2 0
sleep 0.5
press 1 n
sleep 0.5
kill -0 "$PID" 2>/dev/null || fail "player ended while the keys were pressed: $(cat "$ERRFILE")"
quit_with_escape
expect_rc 0
[ -z "$ERR" ] || fail "messages on stderr: $ERR"
echo ok
