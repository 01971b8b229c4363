# A display that goes away while the demo plays ends the player at once with
# exit code 1, instead of leaving it waiting on the dead connection.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

fifo=$WORK/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 640x480x24 3>"$fifo" >/dev/null 2>&1 &
xpid=$!
read -r num <"$fifo"
[ -n "$num" ] || fail "no private X server"

# Playing: the start is logged.
DISPLAY=:$num start_player --windowed --no-music --resolution 320x240 --log
wait_until "[ -s vp_log_starts.txt ]" 60 "the demo did not start"
kill "$xpid"
wait_player 10
expect_rc 1
expect_stderr_line "error: lost the connection to the display"
echo ok
