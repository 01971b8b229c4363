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

# The grabbed window ($1) shows the picture (out of the intro's black)
# between black bars left and right.
bars_beside() {
  grab "$1"
  [ "$(identify -format %wx%h "$1")" = 640x240 ] && [ "$(brightest "$1" 300x200+170+20)" != 0 ] &&
    [ "$(brightest "$1" 150x240+0+0)" = 0 ] && [ "$(brightest "$1" 150x240+490+0)" = 0 ]
}

start_player --windowed --no-music --resolution 320x240 --check-gl
wait_window
screenshot # frames are being drawn
xdotool windowsize --sync "$WID" 640 240
wait_until "bars_beside wide.png" 60 "no picture between black bars in a widened window"
# F12 takes the demo's own picture, not the window's.
screenshot
[ "$(identify -format %wx%h "$SHOT")" = 320x240 ] || fail "screenshot not at the demo's size"
quit_quietly

# Stretched: the picture reaches both edges once the widened window is drawn
# (the effects built for 320x240 place themselves in the wider picture; the
# part they leave out would hold the clear colour alone).
start_player --windowed --no-music --resolution 320x240 --fit off
wait_window
screenshot
xdotool windowsize --sync "$WID" 640 240
varied() { [ "$(convert "$1" -crop "$2" +repage -format '%[standard_deviation]' info:)" != 0 ]; }
edges_drawn() {
  grab stretched.png && [ "$(identify -format %wx%h stretched.png)" = 640x240 ] &&
    varied stretched.png 150x240+0+0 && varied stretched.png 150x240+490+0
}
wait_until edges_drawn 60 "--fit off left bars, or drew the widened window's left part only"
quit_with_escape
expect_rc 0

evilwm -fn fixed >/dev/null 2>&1 &
WM=$!
trap 'kill "$WM" "$PRIVATE_XVFB" 2>/dev/null; rm -rf "$WORK"' EXIT
# The window manager has taken the screen once it selects the root window's
# substructure redirection.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
PID=$WM wait_until wm_running 30 "no window manager"

# 320x120 on the 1024x768 screen: 1024x384 in the middle, 192 rows above and below.
start_player --fullscreen=desktop --no-music --resolution 320x120 --check-gl
wait_window
is_geometry() { [ "$(geometry)" = "$1" ]; }
wait_until "is_geometry 1024x768" 60 "desktop fullscreen is $(geometry)"
bars_above() {
  grab desktop.png
  [ "$(brightest desktop.png 1024x190+0+0)" = 0 ] && [ "$(brightest desktop.png 1024x190+0+578)" = 0 ] &&
    [ "$(brightest desktop.png 1024x380+0+194)" != 0 ]
}
wait_until bars_above 60 "no black bars above and below the picture in desktop fullscreen"
press alt+Return
wait_until "is_geometry 320x120" 60 "Alt+Enter did not leave fullscreen"
press alt+Return
wait_until "is_geometry 1024x768" 60 "the second Alt+Enter did not go fullscreen again"
kill -0 "$PID" 2>/dev/null || fail "player ended: $(cat "$ERRFILE")"
quit_quietly
echo ok
