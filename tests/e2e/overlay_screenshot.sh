# F1 shows the overlay over the playing demo and hides it again; F12 writes
# the current frame as screenshot_0001.png, then _0002, beside the data,
# without the overlay in it even while it shows.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

# Pixels of the overlay's text colour in a picture.
overlay_pixels() {
  convert "$1" -alpha off -fill black +opaque "#FFFF99" -fill white -opaque "#FFFF99" \
    -format "%[fx:round(mean*w*h)]" info:
}
grab() { import -window "$WID" "$1" 2>/dev/null || fail "cannot grab the window"; }

start_player --windowed --no-music --resolution 320x240
wait_window
sleep 3
kill -0 "$PID" 2>/dev/null || fail "player ended early: $(cat "$ERRFILE")"

grab before.png
[ "$(overlay_pixels before.png)" -eq 0 ] || fail "overlay showing before F1"

press F1
sleep 1
grab shown.png
[ "$(overlay_pixels shown.png)" -gt 200 ] || fail "no overlay after F1"

press F12
sleep 1
[ -f screenshot_0001.png ] || fail "F12 wrote no screenshot: $(ls)"
[ "$(identify -format '%wx%h' screenshot_0001.png)" = 320x240 ] || fail "screenshot size"
[ "$(overlay_pixels screenshot_0001.png)" -eq 0 ] || fail "the overlay is in the screenshot"

press F1
sleep 1
grab hidden.png
[ "$(overlay_pixels hidden.png)" -eq 0 ] || fail "overlay still showing after the second F1"

press F12
sleep 1
[ -f screenshot_0002.png ] || fail "the second F12 wrote no second screenshot: $(ls)"

kill -0 "$PID" 2>/dev/null || fail "player ended while the keys were pressed: $(cat "$ERRFILE")"
quit_with_escape
expect_rc 0
[ -z "$ERR" ] || fail "messages on stderr: $ERR"
echo ok
