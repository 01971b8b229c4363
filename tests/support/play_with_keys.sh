# Plays the production in the current folder on a private display and acts
# as a listener at the keyboard: Ctrl+Shift (restart), then Ctrl+Home
# (reload), then SIGTERM as a closing session sends it, each once two seconds of sound
# have been heard since the start before it (SDL's disk audio driver writes
# what is heard to SDL_DISKAUDIOFILE at a device's pace). Starts are read from
# the start log, so the player must be given --log.
# Usage: play_with_keys.sh PLAYER [ARGS...]; exits with the player's code
# (143 when the signal ended it, as it should).
set -u
fail() { echo "play_with_keys: $*" >&2; exit 99; }
. "$(dirname "$0")/private_display.sh"
start_private_display

"$@" &
pid=$!
# Polls the condition $1 (a bound of two minutes against a hang).
wait_until() {
  for _ in $(seq 1 2400); do
    eval "$1" && return 0
    kill -0 "$pid" 2>/dev/null || fail "the player ended early"
    sleep 0.05
  done
  fail "$2"
}
starts() { [ -f vp_log_starts.txt ] && wc -l <vp_log_starts.txt || echo 0; }
heard() { stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0; }
# Two seconds of 16-bit stereo at 44100 Hz.
twoSeconds=$((2 * 44100 * 4))
listen() {
  wait_until "[ \$(starts) -ge $1 ]" "start $1 not logged"
  local from
  from=$(heard)
  wait_until "[ \$(heard) -ge $((from + twoSeconds)) ]" "no sound heard after start $1"
}
window=""
find_window() {
  window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1)
  [ -n "$window" ]
}
wait_until find_window "no window for the player"
press() {
  xdotool windowfocus --sync "$window"
  xdotool key "$1"
}
listen 1
press ctrl+shift
listen 2
press ctrl+Home
listen 3
kill -TERM "$pid"
wait "$pid"
