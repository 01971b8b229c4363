# --watch: an edit to the script of a running (paused) production is built
# and shown at the demo time that was shown, still paused; a broken edit is
# reported and the last good build plays on; fixing it reloads again. An edit
# that moves the end before the time shown does not end the run: it says so
# and shows the new end, paused.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
mkdir -p show/data
# Blue until 3 s, then the colour the edits change: a build that started
# again from 0 instead of the time shown would show blue.
write_script() {
  cat > show/data/testscript.scr.new <<SCR
SETUP
0 SET_LAYER 0 0
TIMELINE
1 START 0
1 SIGNAL 0 200 0 0 255
3000 SIGNAL 0 200 $1
$2
600000 END_DEMO
SCR
  # Replaced in one step, as editors save.
  mv show/data/testscript.scr.new show/data/testscript.scr
}
write_script "0 255 0" ""
colour() { convert "$SHOT" -format '%[fx:int(255*p{8,8}.r)],%[fx:int(255*p{8,8}.g)],%[fx:int(255*p{8,8}.b)]' info:; }
ms_of() { grep -E "^$1 [0-9]+ ms\$" "$OUTFILE" | sed -n "${2:-1}p" | awk '{ print $(NF - 1) }'; }

start_player --windowed --no-music --resolution 320x240 --data-dir show --loose --watch --start 5000
wait_window
wait_stdout '^watching data$' 1
press space
wait_stdout '^paused at [0-9]+ ms$' 1
T=$(ms_of "paused at")
SHOT_DIR=show screenshot
[ "$(colour)" = "0,255,0" ] || fail "before the edit: $(colour)"

write_script "255 0 0" ""
wait_stdout '^reload at [0-9]+ ms$' 1
[ "$(ms_of "reload at")" -eq "$T" ] || fail "reloaded at $(ms_of "reload at") ms, paused at $T"
SHOT_DIR=show screenshot
[ "$(colour)" = "255,0,0" ] || fail "the edit is not shown at $T ms: $(colour)"

# A broken line: said on stderr with its place; the last good build goes on.
write_script "0 0 0" "4000 NONSENSE"
wait_stdout '^reload failed at [0-9]+ ms$' 1
grep -qE '^data/testscript.scr:7: error: script: event not recognized in timeline line #: 4$' "$ERRFILE" ||
  fail "the broken line is not reported: $(cat "$ERRFILE")"
SHOT_DIR=show screenshot
[ "$(colour)" = "255,0,0" ] || fail "the last good build is not shown: $(colour)"
# The error is on screen too, without F1, until a change loads.
error_shown() { grab window.png; [ "$(overlay_pixels window.png)" -gt 100 ]; }
wait_until error_shown 60 "the error in the overlay"
press space
wait_stdout '^playing from [0-9]+ ms$' 1
[ "$(ms_of "playing from")" -eq "$T" ] || fail "the paused time moved: $(ms_of "playing from") ms, paused at $T"

write_script "255 255 0" ""
wait_stdout '^reload at [0-9]+ ms$' 2
[ "$(ms_of "reload at" 2)" -gt "$T" ] || fail "the second reload went back before $T ms"
SHOT_DIR=show screenshot
[ "$(colour)" = "255,255,0" ] || fail "the fixed script is not shown: $(colour)"
grab window.png
[ "$(overlay_pixels window.png)" -eq 0 ] || fail "the error stays on screen after the fix"

write_script "255 0 255" "4000 END_DEMO"
wait_stdout '^reload at [0-9]+ ms$' 3
wait_stdout "^the demo ends at 4000 ms, before $(ms_of "reload at" 3) ms: showing its end at 3999 ms\$" 1
wait_stdout '^paused at 3999 ms$' 1
SHOT_DIR=show screenshot
[ "$(colour)" = "255,0,255" ] || fail "the new end is not shown: $(colour)"
quit_with_escape
expect_rc 0
