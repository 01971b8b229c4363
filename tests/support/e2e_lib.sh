# Helpers for the end-to-end tests: run the real player in a scratch folder
# that links the sample production, press keys as a person would, and check
# exit codes and the exact texts on stderr.
set -u

fail() { echo "FAIL: $*" >&2; exit 1; }

# A scratch folder holding links to the production's files; log files land here.
make_workdir() {
  WORK=$(mktemp -d)
  trap 'rm -rf "$WORK"' EXIT
  if [ -d "${VP_PRODUCTION_DIR:-}" ]; then
    for f in "$VP_PRODUCTION_DIR"/*; do
      [ -e "$f" ] && ln -s "$f" "$WORK/"
    done
  fi
  cd "$WORK"
}

# Runs the player to completion; sets RC, OUT (stdout) and ERR (stderr).
run_player() {
  local out err
  out=$(mktemp) err=$(mktemp)
  "$VPLAYER" "$@" >"$out" 2>"$err"
  RC=$?
  OUT=$(cat "$out")
  ERR=$(cat "$err")
  rm -f "$out" "$err"
}

# Starts the player in the background; sets PID and ERRFILE.
start_player() {
  ERRFILE=$(mktemp)
  "$VPLAYER" "$@" 2>"$ERRFILE" &
  PID=$!
}

# Waits for the player's window and sets WID.
wait_window() {
  local name=${1:-Quorvantix}
  WID=""
  for _ in $(seq 1 100); do
    WID=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -1)
    [ -n "$WID" ] && break
    kill -0 "$PID" 2>/dev/null || fail "player exited before its window appeared: $(cat "$ERRFILE")"
    sleep 0.1
  done
  [ -n "$WID" ] || fail "no window named $name"
}

# Presses keys in the player's window (xdotool key syntax, e.g. Escape ctrl+Home).
press() {
  xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
  xdotool key --delay 120 "$@"
}

# Presses Escape until the player ends (a key pressed while the window is
# still being mapped can be lost), then waits up to $1 s (default 5) for it
# to end; sets RC.
quit_with_escape() {
  for _ in $(seq 1 40); do
    kill -0 "$PID" 2>/dev/null || break
    press Escape
    sleep 0.5
  done
  wait_player "${1:-5}"
}

# Waits at most $1 seconds for the background player; sets RC.
wait_player() {
  local timeout=${1:-20}
  for _ in $(seq 1 $((timeout * 10))); do
    if ! kill -0 "$PID" 2>/dev/null; then
      wait "$PID"
      RC=$?
      ERR=$(cat "$ERRFILE")
      return 0
    fi
    sleep 0.1
  done
  kill -9 "$PID" 2>/dev/null
  fail "player did not end within $timeout s"
}

expect_rc() { [ "$RC" -eq "$1" ] || fail "exit code $RC, expected $1; stderr: $ERR"; }
expect_stderr_line() {
  printf '%s\n' "$ERR" | grep -qxF -- "$1" || fail "stderr lacks the line '$1'; got: $ERR"
}
