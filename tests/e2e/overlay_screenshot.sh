# F1 shows the overlay over the playing demo and hides it again; F12 writes
# the current frame as screenshot_0001.png, then _0002, beside the data,
# without the overlay in it even while it shows, and says so on stdout.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display


# Waits until the window's picture shows the overlay ($1 = yes) or not (no).
overlay_shows() {
  grab window.png
  if [ "$1" = yes ]; then [ "$(overlay_pixels window.png)" -gt 200 ]; else [ "$(overlay_pixels window.png)" -eq 0 ]; fi
}

start_player --windowed --no-music --resolution 320x240
wait_window
screenshot # frames are being drawn
grab before.png
[ "$(overlay_pixels before.png)" -eq 0 ] || fail "overlay showing before F1"

press F1
wait_until "overlay_shows yes" 60 "no overlay after F1"

screenshot
[ "$(identify -format '%wx%h' "$SHOT")" = 320x240 ] || fail "screenshot size"
[ "$(overlay_pixels "$SHOT")" -eq 0 ] || fail "the overlay is in the screenshot"
[ "$(basename "$SHOT")" = screenshot_0002.png ] || fail "the second screenshot is $SHOT"
[ -f screenshot_0001.png ] || fail "the first screenshot is gone: $(ls)"

press F1
wait_until "overlay_shows no" 60 "overlay still showing after the second F1"

kill -0 "$PID" 2>/dev/null || fail "player ended while the keys were pressed: $(cat "$ERRFILE")"
quit_quietly
echo ok
