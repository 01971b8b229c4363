# The launcher dialog driven with mouse and keyboard: what is typed, picked,
# ticked and pressed decides the eight run arguments (--print-args prints them
# instead of playing); Escape, the close box and "Escape pod" end the program
# without a run.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

TITLE="Velmor Process - Quorvantix"
DEFAULTS="music=1 fullscreen=1 width=800 height=600 samples=0 anisotropy=0 logging=0 atiShadows=0"

# Control centres in window pixels (dialog units x 1.5 across, x 1.625 down).
LAUNCH="162 164"
ESCAPE_POD="277 164"
FULLSCREEN_BOX="41 44"
MUSIC_BOX="41 76"
ATI_BOX="41 114"
RESOLUTION_FIELD="320 44"
ANTIALIASING_FIELD="320 77"
ANTIALIASING_ARROW="404 77"
FILTERING_FIELD="320 109"

open_dialog() {
  OUTFILE=$(mktemp)
  ERRFILE=$(mktemp)
  "$VPLAYER" "$@" >"$OUTFILE" 2>"$ERRFILE" &
  PID=$!
  wait_window "$TITLE"
}

# Keys go to the dialog whatever the pointer is over.
front() {
  xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
}

click() {
  front
  # shellcheck disable=SC2086
  xdotool mousemove --window "$WID" $1 click 1
}

# The dropped list is a window of its own.
windows() { xdotool search --onlyvisible --pid "$PID" 2>/dev/null | wc -l; }

key() {
  front
  xdotool key "$@"
}

# Replaces the text of a combo's field as a person would: click, select all, type.
type_into() {
  click "$1"
  key ctrl+a
  front
  xdotool type --delay 40 "$2"
}

finish() {
  wait_player 10
  OUT=$(cat "$OUTFILE")
  rm -f "$OUTFILE"
}

expect_out() { [ "$OUT" = "$1" ] || fail "printed '$OUT', expected '$1'"; }

# Defaults, accepted with Enter.
open_dialog --print-args
front
xdotool mousemove --window "$WID" 10 10
key Return
finish
expect_rc 0
expect_out "$DEFAULTS"

# Typed texts: 1280x1024 is not in the list (800x600), "8x" only counts for
# filtering; music unticked with the mouse.
open_dialog --print-args
type_into "$RESOLUTION_FIELD" 1280x1024
type_into "$ANTIALIASING_FIELD" 8x
type_into "$FILTERING_FIELD" 8x
click "$MUSIC_BOX"
click "$LAUNCH"
finish
expect_rc 0
expect_out "music=0 fullscreen=1 width=800 height=600 samples=0 anisotropy=8 logging=0 atiShadows=0"

# 640x480 typed counts although it was not picked; 4x picked from the
# dropped list with the mouse, 4x stepped to with the keyboard; both boxes toggled.
open_dialog --print-args
type_into "$RESOLUTION_FIELD" 640x480
click "$ANTIALIASING_ARROW"
wait_until '[ "$(windows)" -ge 2 ]' 30 "the list did not drop"
# The list drops below the field: off, 2x, 4x, one line each (the dialog
# must not be raised over it now).
xdotool mousemove --window "$WID" 320 $((77 + 11 + 2 * 18 + 9)) click 1
wait_until '[ "$(windows)" -le 1 ]' 30 "the list did not close"
click "$FILTERING_FIELD"
key Down Down
click "$FULLSCREEN_BOX"
click "$ATI_BOX"
click "$LAUNCH"
finish
expect_rc 0
expect_out "music=1 fullscreen=0 width=640 height=480 samples=4 anisotropy=4 logging=0 atiShadows=1"

# Escape, the close box and the Escape pod button all leave without a run,
# whatever was chosen.
open_dialog --print-args
type_into "$RESOLUTION_FIELD" 1024x768
key Escape
finish
expect_rc 0
expect_out ""

open_dialog --print-args
"$XSEND" "$WID" close
finish
expect_rc 0
expect_out ""

open_dialog --print-args
click "$ESCAPE_POD"
finish
expect_rc 0
expect_out ""

# A real launcher run left through the escape pod touches nothing: no engine
# window, no sound device (the disk driver would create its file), no data
# file read or written (the working folder is empty and stays so).
EMPTY=$(mktemp -d)
cd "$EMPTY"
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/heard.raw" open_dialog
click "$ESCAPE_POD"
finish
expect_rc 0
[ -z "$ERR" ] || fail "escape pod wrote to stderr: $ERR"
[ ! -e "$WORK/heard.raw" ] || fail "escape pod opened the sound device"
[ -z "$(ls -A "$EMPTY")" ] || fail "escape pod left files: $(ls -A "$EMPTY")"
cd "$WORK"
rmdir "$EMPTY"

# Launch! starts the run with the chosen arguments: windowed, no music.
open_dialog
click "$FULLSCREEN_BOX"
click "$MUSIC_BOX"
type_into "$RESOLUTION_FIELD" 640x480
click "$LAUNCH"
wait_window Quorvantix
eval "$(xdotool getwindowgeometry --shell "$WID")"
[ "$WIDTH" = 640 ] && [ "$HEIGHT" = 480 ] || fail "run window is ${WIDTH}x$HEIGHT, expected 640x480"
quit_with_escape
expect_rc 0

# A production's own title names the dialog.
mkdir named && cd named
echo "title = Small Hours" > production.ini
TITLE="Small Hours" open_dialog --print-args
key Escape
finish
expect_rc 0
cd "$WORK"
echo ok
