# Plays the production in the current folder on a private display and acts
# as a listener at the keyboard: Ctrl+Shift (restart) after 2.5 s, Ctrl+Home
# (reload) 2.5 s later, and the window system's quit 2.5 s after that.
# Usage: play_with_keys.sh PLAYER [ARGS...]; exits with the player's code.
set -u
fail() { echo "play_with_keys: $*" >&2; exit 99; }
. "$(dirname "$0")/private_display.sh"
start_private_display

"$@" &
pid=$!
hold() {
  local w=""
  for _ in $(seq 1 50); do
    w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
    [ -n "$w" ] && break
    sleep 0.1
  done
  [ -n "$w" ] || fail "no window for the player"
  xdotool windowfocus --sync "$w"
  xdotool keydown "$@"
  sleep 0.3
  xdotool keyup "$@"
}
sleep 2.5
hold ctrl shift
sleep 2.5
hold ctrl Home
sleep 2.5
kill -TERM "$pid"
wait "$pid"
