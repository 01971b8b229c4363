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

# Starts the player in the background; sets PID, OUTFILE (its stdout) and ERRFILE.
start_player() {
  OUTFILE=$(mktemp) ERRFILE=$(mktemp) SHOTS=0
  "$VPLAYER" "$@" >"$OUTFILE" 2>"$ERRFILE" &
  PID=$!
}

# Polls the shell condition $1 every 50 ms until it holds; fails with $3
# after $2 seconds (a bound against a hang, not a judgement of speed) or as
# soon as the player has ended.
wait_until() {
  local i
  for i in $(seq 1 $(($2 * 20))); do
    eval "$1" && return 0
    kill -0 "$PID" 2>/dev/null || { eval "$1" && return 0; fail "player ended while waiting for $3: $(cat "$ERRFILE")"; }
    sleep 0.05
  done
  fail "$3 (not within $2 s): $(cat "$ERRFILE")"
}

# Finding a window by its name and sending it keys is safe only on a display
# no other test uses: a window another test opens takes the focus, and with
# it the keys, or matches the name. private_display.sh provides one.
require_own_display() {
  [ -n "${VP_OWN_DISPLAY:-}" ] && [ "$VP_OWN_DISPLAY" = "${DISPLAY:-}" ] ||
    fail "windows and keys need a display of this test's own: source tests/support/private_display.sh and call start_private_display"
}

# Waits for the player's window to be mapped and sets WID.
wait_window() {
  local name=${1:-Quorvantix}
  require_own_display
  WID=""
  find_window() {
    WID=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -1)
    [ -n "$WID" ]
  }
  wait_until find_window 60 "no window named $name"
}

# Presses keys in the player's window (xdotool key syntax, e.g. Escape ctrl+Home).
# A key pressed while the effects load waits for the first frame; one pressed
# and released between two frames still reaches the next one.
press() {
  require_own_display
  xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
  xdotool key --delay 120 "$@"
}

# Lines on the player's stdout matching the extended regular expression $1.
stdout_lines() { grep -cE -- "$1" "$OUTFILE"; }

# Waits until stdout holds $2 lines matching $1.
wait_stdout() {
  wait_until "[ \"\$(stdout_lines '$1')\" -ge $2 ]" 120 "line $2 matching '$1' on stdout"
}

# F12, then waits for the player to say it wrote the picture; sets SHOT to
# the file. The frame it is taken from has read every key pressed before it
# (what that frame draws into render targets before its keys are read shows
# a key's effect one frame later).
# The player names it in the production folder: SHOT_DIR when that is not
# the working folder (--data-dir).
screenshot() {
  SHOTS=$((SHOTS + 1))
  press F12
  wait_stdout '^screenshot: ' "$SHOTS"
  SHOT=${SHOT_DIR:-.}/$(grep -E '^screenshot: ' "$OUTFILE" | sed -n "${SHOTS}p" | sed 's/^screenshot: //')
}

# Escape once, then waits up to $1 s (default 60) for the player to end; sets RC.
quit_with_escape() {
  press Escape
  wait_player "${1:-60}"
}

# Escape ends the run with exit code 0 and nothing said on stderr.
quit_quietly() {
  quit_with_escape
  expect_rc 0
  [ -z "$ERR" ] || fail "messages on stderr: $ERR"
}

# Waits at most $1 seconds for the background player; sets RC.
wait_player() {
  local timeout=${1:-60}
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

# Whether two pictures are the same pixel for pixel (status 0) or not (1); a
# picture that cannot be read fails the test, never counting either way.
same_picture() {
  local rc
  "$GOLDEN_COMPARE" --same "$1" "$2" >/dev/null
  rc=$?
  [ "$rc" -le 1 ] || fail "cannot compare $1 with $2: $("$GOLDEN_COMPARE" --same "$1" "$2")"
  return "$rc"
}

# Pixels of the overlay's text colour in a picture.
overlay_pixels() {
  convert "$1" -alpha off -fill black +opaque "#FFFF99" -fill white -opaque "#FFFF99" \
    -format "%[fx:round(mean*w*h)]" info:
}
# The window as it is on screen (the overlay included, unlike screenshots).
grab() { import -window "$WID" "$1" 2>/dev/null || fail "cannot grab the window"; }

# What SDL's disk audio driver wrote to heard.raw (16-bit stereo, 44.1 kHz),
# for a soundtrack that is a plain tone: the bytes heard so far, and whether
# the last second heard is a tone of $1 Hz: its left channel crosses zero
# twice a period, as often in each tenth of the second (music may cross as
# often over a whole second, never that evenly).
heard_bytes() { stat -c %s heard.raw 2>/dev/null || echo 0; }
hears() {
  local size
  size=$(heard_bytes)
  [ "$size" -ge 176400 ] || return 1
  head -c $((size - size % 4)) heard.raw | tail -c 176400 | od -An -v -td2 -w4 |
    awk -v want=$(($1 / 5)) '
      { s = ($1 < 0); if (NR > 1 && s != p) n[int((NR - 1) / 4410)]++; p = s }
      END { for (w = 0; w < 10; w++) if (n[w] < want - 3 || n[w] > want + 3) exit 1 }'
}
