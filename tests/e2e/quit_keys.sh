# Escape ends the run with exit code 0, so does the window's close box; with
# logging off no log file is written.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

start_player --windowed --no-music --resolution 320x240
wait_window
quit_with_escape
expect_rc 0

start_player --windowed --no-music --resolution 320x240
wait_window
"$XSEND" "$WID" close
wait_player 20
expect_rc 0

for f in vp_log_extensions.txt vp_log_textures.txt vp_log_scenes.txt vp_profiling.txt; do
  [ ! -e "$f" ] || fail "$f written without --log"
done
echo ok
