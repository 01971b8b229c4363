# Plays the production in the current folder on a private display and acts
# as a listener at the keyboard: once the music is heard (SDL's disk audio
# driver writes it to SDL_DISKAUDIOFILE), Ctrl+Shift (restart) after 2.5 s,
# Ctrl+Home (reload) 2.5 s later, and the window system's quit 6 s after
# that, which leaves a loaded machine time to rebuild every effect.
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
# Keys pressed while the effects load would be taken before the first frame
# and have no effect.
heard=""
for _ in $(seq 1 600); do
  kill -0 "$pid" 2>/dev/null || fail "the player ended early"
  if [ -s "$SDL_DISKAUDIOFILE" ] && [ "$(tr -d '\000' <"$SDL_DISKAUDIOFILE" | head -c 1 | wc -c)" -gt 0 ]; then
    heard=yes
    break
  fi
  sleep 0.1
done
[ -n "$heard" ] || fail "no music within a minute"
sleep 2.5
hold ctrl shift
sleep 2.5
hold ctrl Home
sleep 6
kill -TERM "$pid"
wait "$pid"
