# The picture keeps its aspect in a window of another shape: a window
# widened by hand shows the demo between black bars at its resolution; with
# --fit off it is stretched over the whole window as before. Desktop
# fullscreen covers the screen at its own size with bars above and below a
# wide demo, and Alt+Enter toggles it off and on. A window manager of its
# own on a private display handles the fullscreen requests.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
start_private_display

# The brightest value in a region of a picture (0: all black).
brightest() { convert "$1" -crop "$2" +repage -format "%[max]" info:; }
grab() { import -window "$WID" "$1" 2>/dev/null || fail "cannot grab the window"; }
geometry() { xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: //p'; }

start_player --windowed --no-music --resolution 320x240 --check-gl
wait_window
sleep 3
xdotool windowsize --sync "$WID" 640 240
sleep 2
grab wide.png
[ "$(identify -format %wx%h wide.png)" = 640x240 ] || fail "window not resized"
[ "$(brightest wide.png 150x240+0+0)" = 0 ] || fail "no black bar on the left"
[ "$(brightest wide.png 150x240+490+0)" = 0 ] || fail "no black bar on the right"
[ "$(brightest wide.png 300x200+170+20)" != 0 ] || fail "no picture between the bars"
# F12 takes the demo's own picture, not the window's.
press F12
sleep 1
[ "$(identify -format %wx%h screenshot_0001.png)" = 320x240 ] || fail "screenshot not at the demo's size"
quit_with_escape
expect_rc 0
[ -z "$ERR" ] || fail "messages on stderr: $ERR"

start_player --windowed --no-music --resolution 320x240 --fit off
wait_window
sleep 3
xdotool windowsize --sync "$WID" 640 240
sleep 2
grab stretched.png
[ "$(brightest stretched.png 150x240+0+0)" != 0 ] || fail "--fit off left bars"
quit_with_escape
expect_rc 0

evilwm -fn fixed >/dev/null 2>&1 &
WM=$!
trap 'kill "$WM" "$PRIVATE_XVFB" 2>/dev/null; rm -rf "$WORK"' EXIT
sleep 1
kill -0 "$WM" 2>/dev/null || fail "no window manager"

# 320x120 on the 1024x768 screen: 1024x384 in the middle, 192 rows above and below.
start_player --fullscreen=desktop --no-music --resolution 320x120 --check-gl
wait_window
sleep 3
[ "$(geometry)" = 1024x768 ] || fail "desktop fullscreen is $(geometry)"
grab desktop.png
[ "$(brightest desktop.png 1024x190+0+0)" = 0 ] || fail "no black bar above"
[ "$(brightest desktop.png 1024x190+0+578)" = 0 ] || fail "no black bar below"
[ "$(brightest desktop.png 1024x380+0+194)" != 0 ] || fail "no picture between the bars"
press alt+Return
sleep 2
[ "$(geometry)" = 320x120 ] || fail "Alt+Enter left fullscreen at $(geometry)"
press alt+Return
sleep 2
[ "$(geometry)" = 1024x768 ] || fail "the second Alt+Enter gave $(geometry)"
kill -0 "$PID" 2>/dev/null || fail "player ended: $(cat "$ERRFILE")"
quit_with_escape
expect_rc 0
[ -z "$ERR" ] || fail "messages on stderr: $ERR"
echo ok
