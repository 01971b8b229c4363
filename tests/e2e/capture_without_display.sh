# Capture needs no display. With DISPLAY, WAYLAND_DISPLAY and XAUTHORITY
# unset, and no X server started for it, a capture draws off screen: its
# frames match the goldens (made under the test display), and a 16:9 frame
# is pixel for pixel the one a capture under the display gives. So it does
# when DISPLAY names a server that is not there (left from a closed
# session). Playback without a display says why and ends at once instead of
# playing unseen.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
: "${GOLDEN_COMPARE:?}"
make_workdir

without_display() { env -u DISPLAY -u WAYLAND_DISPLAY -u XAUTHORITY -u SDL_VIDEODRIVER "$@"; }

without_display "$VPLAYER" --capture alone --fps 10 --from 0 --to 15500 --size 320x240 --no-music \
  >/dev/null 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
for t in 5000 15500; do
  "$GOLDEN_COMPARE" "frames/t$t" "alone/$(printf 'frame_%06d.png' $((t / 100)))" || fail "golden t$t"
done

run_player --capture shown --fps 10 --from 55000 --to 55000 --size 640x360 --no-music
expect_rc 0
without_display "$VPLAYER" --capture unseen --fps 10 --from 55000 --to 55000 --size 640x360 --no-music \
  >/dev/null 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
same_picture shown/frame_000000.png unseen/frame_000000.png || fail "the 640x360 frame differs without a display"

# A display number with neither a socket nor a lock file: no server.
stale=1999
while [ -e "/tmp/.X11-unix/X$stale" ] || [ -e "/tmp/.X$stale-lock" ]; do stale=$((stale + 1)); done
without_display env DISPLAY=":$stale" "$VPLAYER" --capture stale --fps 10 --from 55000 --to 55000 --size 640x360 \
  --no-music >/dev/null 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
same_picture shown/frame_000000.png stale/frame_000000.png || fail "the 640x360 frame differs under a stale DISPLAY"

without_display "$VPLAYER" --windowed --resolution 320x240 --no-music >/dev/null 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 1
expect_stderr_line "vplayer: no display to play on (DISPLAY is not set); --capture renders frames or a video without one"
echo ok
