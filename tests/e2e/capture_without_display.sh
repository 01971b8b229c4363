# Capture needs no display. With DISPLAY, WAYLAND_DISPLAY and XAUTHORITY
# unset, and no X server started for it, a capture draws off screen: its
# frames match the goldens (made under the test display), and a 16:9 frame
# is pixel for pixel the one a capture under the display gives. Playback
# without a display says why and ends at once instead of playing unseen.
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

without_display "$VPLAYER" --windowed --resolution 320x240 --no-music >/dev/null 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 1
expect_stderr_line "vplayer: no display to play on (DISPLAY is not set); --capture renders frames or a video without one"
echo ok
