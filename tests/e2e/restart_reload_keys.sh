# Ctrl+Shift restarts the script and Ctrl+Home rebuilds every effect and starts
# again (at --start MS when given); each start runs the setup events anew.
# The script's setup puts an unregistered id on a layer, so every start
# reports it once; Escape then ends the run normally.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
mkdir -p show/data
cat > show/data/testscript.scr <<'SCR'
SETUP
0 SET_LAYER 0 0
0 SET_LAYER 99 1
TIMELINE
1 START 0
1 SIGNAL 0 200 0 0 120
600000 END_DEMO
SCR

starts() { grep -cxF "warning: effect ID not found: 99" "$ERRFILE"; }
wait_starts() { wait_until "[ \$(starts) -ge $1 ]" 120 "start $1 (its setup warning)"; }

start_player --windowed --no-music --resolution 320x240 --data-dir show --loose
wait_window
wait_starts 1
n=$(starts)
press ctrl+shift
wait_starts $((n + 1))
n=$(starts)
press ctrl+Home
wait_starts $((n + 1))
quit_with_escape
expect_rc 0
[ "$(printf '%s\n' "$ERR" | grep -vcxF "warning: effect ID not found: 99")" -eq 0 ] || fail "unexpected output: $ERR"

# With --start both go back to that time, not to the script's demo start:
# the run, paused after them, stands at the start time or later.
START=300000
start_player --windowed --no-music --resolution 320x240 --data-dir show --loose --start $START
wait_window
wait_starts 1
press ctrl+shift
wait_starts 2
press ctrl+Home
wait_starts 3
press space
wait_stdout '^paused at [0-9]+ ms$' 1
T=$(grep -E '^paused at [0-9]+ ms$' "$OUTFILE" | awk '{ print $3 }')
[ "$T" -ge $START ] || fail "restarted at the demo start: paused at $T ms after --start $START"
quit_with_escape
expect_rc 0
echo ok
