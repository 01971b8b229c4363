# Ctrl+Shift restarts the script and Ctrl+Home rebuilds every effect and starts
# again; each start runs the setup events anew. The script's setup puts an
# unregistered id on a layer, so every start reports it once; Escape then ends
# the run normally.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir
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

starts() { printf '%s\n' "$(cat "$ERRFILE")" | grep -cxF "warning: effect ID not found: 99"; }
wait_starts() {
  for _ in $(seq 1 50); do
    [ "$(starts)" -ge "$1" ] && return 0
    sleep 0.1
  done
  fail "expected $1 starts, saw $(starts): $(cat "$ERRFILE")"
}
hold() {
  xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
  xdotool keydown "$@"
  sleep 0.3
  # shellcheck disable=SC2046
  xdotool keyup $(printf '%s\n' "$@" | tac)
  sleep 0.3
}

start_player --windowed --no-music --resolution 320x240 --data-dir show --loose
wait_window
wait_starts 1
n=$(starts)
hold ctrl shift
wait_starts $((n + 1))
n=$(starts)
hold ctrl Home
wait_starts $((n + 1))
quit_with_escape
expect_rc 0
[ "$(printf '%s\n' "$ERR" | grep -vcxF "warning: effect ID not found: 99")" -eq 0 ] || fail "unexpected output: $ERR"
echo ok
