# --watch: after a broken save every way of building the demo again (a
# loop's jump back, Page Up, Ctrl+Shift, Ctrl+Home) replays the last good
# build instead of reading the broken files, the overlay keeps saying so, and
# a fix then loads. The run never ends on the way.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
mkdir -p show/data
write_script() {
  cat > show/data/testscript.scr.new <<SCR
SETUP
0 SET_LAYER 0 0
TIMELINE
1 START 0
1 SIGNAL 0 200 $1
$2
600000 END_DEMO
SCR
  mv show/data/testscript.scr.new show/data/testscript.scr
}
colour() { convert "$SHOT" -format '%[fx:int(255*p{8,8}.r)],%[fx:int(255*p{8,8}.g)],%[fx:int(255*p{8,8}.b)]' info:; }
replays() { stdout_lines '^playing the last good build: the files on disk do not check clean$'; }
wait_replays() { wait_until "[ \$(replays) -ge $1 ]" 120 "rebuild $1 from the last good build"; }
error_shown() { grab window.png; [ "$(overlay_pixels window.png)" -gt 100 ]; }

write_script "0 255 0" ""
start_player --windowed --no-music --resolution 320x240 --data-dir show --loose --watch --loop 1000:2500
wait_window
wait_stdout '^watching data$' 1
wait_stdout '^loop back to 1000 ms$' 1

# Red would show if a rebuild read the broken file; it never gets that far.
write_script "255 0 0" "1200 NONSENSE"
wait_stdout '^reload failed at [0-9]+ ms$' 1
wait_replays 1 # the next loop back
press backslash
wait_stdout '^loop off$' 1
n=$(replays)
press Prior
wait_replays $((n + 1))
press ctrl+shift
wait_replays $((n + 2))
press ctrl+Home
wait_replays $((n + 3))
SHOT_DIR=show screenshot
[ "$(colour)" = "0,255,0" ] || fail "not the last good build after the rebuilds: $(colour)"
wait_until error_shown 60 "the failed reload in the overlay after the rebuilds"

write_script "255 255 0" ""
wait_stdout '^reload at [0-9]+ ms$' 1
n=$(replays)
SHOT_DIR=show screenshot
[ "$(colour)" = "255,255,0" ] || fail "the fix is not shown: $(colour)"
grab window.png
[ "$(overlay_pixels window.png)" -eq 0 ] || fail "the failed reload stays on screen after the fix"
press ctrl+Home
SHOT_DIR=show screenshot
[ "$(colour)" = "255,255,0" ] || fail "the fix is lost on a rebuild: $(colour)"
[ "$(replays)" -eq "$n" ] || fail "still replaying the last good build after the fix"
quit_with_escape
expect_rc 0
# The broken line is reported once, by the check, never by the run itself.
[ "$(printf '%s\n' "$ERR" | grep -c 'event not recognized')" -eq 1 ] || fail "stderr: $ERR"
printf '%s\n' "$ERR" | grep -q '^error: ' && fail "the run reported an error of its own: $ERR"
exit 0
