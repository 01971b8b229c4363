# A section played over and over: --loop FROM:TO starts at FROM and goes back
# there at TO, each time; \ ends the loop, [ and ] set a new one at the time
# shown, and playback then goes back to the new start at the new end. A loop
# left on the command line that ends before the demo starts, or starts after
# it ends, is refused, and the show plays from its start and quits as usual;
# one that reaches past the end is cut there and goes back from there.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
mkdir -p show/data
cat > show/data/testscript.scr <<'SCR'
SETUP
0 SET_LAYER 0 0
TIMELINE
1 START 0
600000 END_DEMO
SCR
ms_of() { grep -E "^$1 [0-9]+ ms\$" "$OUTFILE" | sed -n "${2:-1}p" | awk '{ print $(NF - 1) }'; }

start_player --windowed --no-music --resolution 320x240 --data-dir show --loose --loop 1000:1400
wait_window
wait_stdout '^loop back to 1000 ms$' 2
# Every pass starts at FROM: a seek back to 1000 ms, never beyond the end.
grep -E '^seek to [0-9]+ ms$' "$OUTFILE" | grep -qvx 'seek to 1000 ms' && fail "a pass did not start at 1000 ms: $(cat "$OUTFILE")"
press backslash
wait_stdout '^loop off$' 1
press bracketleft
wait_stdout '^loop from [0-9]+ ms$' 1
A=$(ms_of "loop from")
press bracketright
wait_stdout '^loop [0-9]+\.\.[0-9]+ ms$' 1
B=$(grep -E '^loop [0-9]+\.\.[0-9]+ ms$' "$OUTFILE" | sed 's/^loop [0-9]*\.\.\([0-9]*\) ms$/\1/')
[ "$B" -gt "$A" ] || fail "loop end $B not after its start $A"
wait_stdout "^loop back to $A ms\$" 1
quit_with_escape
expect_rc 0

mkdir -p late/data
printf 'DEMOSTART 10000\nSETUP\n0 SET_LAYER 0 0\nTIMELINE\n1 START 0\n600000 END_DEMO\n' > late/data/testscript.scr
start_player --windowed --no-music --resolution 320x240 --data-dir late --loose --loop 0:5000
wait_window
SHOT_DIR=late screenshot
quit_with_escape
expect_rc 0
[ "$ERR" = "warning: the loop 0..5000 ms ends at or before the demo start (10000 ms); playing without it" ] ||
  fail "stderr: $ERR"
grep -q '^loop back' "$OUTFILE" && fail "went back: $(head -5 "$OUTFILE")"

mkdir -p short/data
printf 'SETUP\n0 SET_LAYER 0 0\nTIMELINE\n1 START 0\n2000 END_DEMO\n' > short/data/testscript.scr
start_player --windowed --no-music --resolution 320x240 --data-dir short --loose --loop 1000:3000
wait_window
wait_stdout '^loop back to 1000 ms$' 2
quit_with_escape
expect_rc 0
[ "$ERR" = "warning: the loop 1000..3000 ms reaches past the demo's end (2000 ms); looping 1000..2000 ms" ] ||
  fail "stderr: $ERR"

start_player --windowed --no-music --resolution 320x240 --data-dir show --loose --loop 700000:710000
wait_window
press space
wait_stdout '^paused at [0-9]+ ms$' 1
[ "$(ms_of "paused at")" -lt 600000 ] || fail "did not play from the demo start: $(cat "$OUTFILE")"
quit_with_escape
expect_rc 0
[ "$ERR" = "warning: the loop 700000..710000 ms starts at or after the demo's end (600000 ms); playing without it" ] ||
  fail "stderr: $ERR"
echo ok
