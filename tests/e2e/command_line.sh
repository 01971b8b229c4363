# The command line: help, version, refusals with exit code 2, and a refused
# fullscreen mode that is answered "yes" without dialogs.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

run_player --help
expect_rc 0
printf '%s\n' "$OUT" | grep -q -- '--capture DIR --fps N' || fail "help lacks --capture"

run_player --version
expect_rc 0
printf '%s\n' "$OUT" | grep -q '^vplayer ' || fail "version line: $OUT"

for bad in "--resolution 800" "--aa x" "--frobnicate" "--fps 25" "--capture out" "--data-dir"; do
  # shellcheck disable=SC2086
  run_player $bad
  expect_rc 2
  printf '%s\n' "$ERR" | grep -q '^vplayer: ' || fail "no reason given for '$bad': $ERR"
done

run_player --data-dir /nonexistent/folder --windowed
expect_rc 2

# Xvfb offers only its screen size: any other fullscreen mode asks to run
# windowed, which is answered yes.
start_player --fullscreen --resolution 640x480 --no-music
wait_window
quit_with_escape
expect_rc 0
printf '%s\n' "$ERR" | grep -qxF "question: requested fullscreen mode not supported, run windowed?" ||
  fail "no fullscreen question: $ERR"
echo ok
