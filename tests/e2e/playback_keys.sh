# Start anywhere, pause and seek, with the keys pressed as a person would.
# Space stops picture and sound together (the sound output then writes only
# silence) and lets them go on from the same time; Page Down and Page Up seek
# 5 s; a seek back builds the demo again and fast-forwards it, so the frame
# it shows is exactly the frame a fresh start at that time gives (a capture from
# there). A start past the end event ends the run at once: the end event's own
# frame, captured, is the only one.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$WORK/heard.raw"

# Waits until stdout has $2 lines (default 1) matching $1 and prints the
# number of ms of that line.
wait_line() {
  wait_stdout "^$1 [0-9]+ ms\$" "${2:-1}"
  grep -E "^$1 [0-9]+ ms\$" "$OUTFILE" | sed -n "${2:-1}p" | awk '{ print $(NF - 1) }'
}

lines() { stdout_lines "^$1 [0-9]+ ms\$"; }

heard() { stat -c %s heard.raw 2>/dev/null || echo 0; }
# Waits until the sound output has written $1 more bytes (44100 Hz, 16-bit
# stereo: 176400 a second), whatever it writes.
hear_bytes() { local from; from=$(heard); wait_until "[ \$(heard) -ge $((from + $1)) ]" 60 "sound output going on"; }

# Bytes of silence (all zero) from offset $1 to $2 of the heard sound.
silent_between() {
  local n=$(($2 - $1))
  [ "$n" -gt 0 ] || return 0
  tail -c +$(($1 + 1)) heard.raw | head -c "$n" | cmp -s - <(head -c "$n" /dev/zero)
}

# The groove: motion trails and the forcefield build on earlier frames, and
# still a paused picture stands still.
START=18000
start_player --windowed --resolution 320x240 --start $START
wait_window
screenshot # the demo is drawing
press space
T=$(wait_line "paused at")
[ "$T" -ge $START ] && [ "$T" -lt $((START + 15000)) ] || fail "paused at $T ms after a start at $START"

# Paused: the picture stands still and only silence is heard.
screenshot
cp "$SHOT" p1.png
hear_bytes 8192 # what was mixed before the pause (a buffer of 4096 bytes) is out
a=$(heard)
hear_bytes 176400
b=$(heard)
silent_between "$a" "$b" || fail "sound was heard while paused"
screenshot
same_picture p1.png "$SHOT" || fail "the picture moved while paused"

# Two steps ahead, one back: paused on T + 5 s, reached by a seek back.
press Page_Down
[ "$(wait_line "seek to")" -eq $((T + 5000)) ] || fail "Page Down did not seek 5 s ahead"
press Page_Down
wait_line "seek to" 2 >/dev/null
press Page_Up
[ "$(wait_line "seek to" 3)" -eq $((T + 5000)) ] || fail "Page Up did not seek back to $((T + 5000)) ms"
screenshot
cp "$SHOT" seek.png
[ "$(lines "seek to")" -eq 3 ] || fail "not three seeks: $(cat "$OUTFILE")"

# Resumed, the music plays again and the time moves on.
press space
[ "$(wait_line "playing from")" -eq $((T + 5000)) ] || fail "did not resume where the seek went"
a=$(heard)
hear_bytes 264600
b=$(heard)
silent_between "$a" "$b" && fail "nothing heard after resuming"
press space
U=$(wait_line "paused at" 2)
[ "$U" -gt $((T + 5000)) ] || fail "time did not move on after resuming (paused at $U)"
quit_with_escape
expect_rc 0
# SDL's disk driver announces itself; nothing else may be said.
printf '%s\n' "$ERR" | grep -v '^CRITICAL: ' | grep -q . && fail "messages on stderr: $ERR"

# The same time from a fresh start, as a capture at the rate at which a run
# plays the frames it skips (pattern steps fire on those frames).
run_player --capture cap --fps 60 --start $((T + 5000)) --to $((T + 5000)) --size 320x240
expect_rc 0
[ -f cap/frame_000000.png ] && [ ! -e cap/frame_000001.png ] || fail "capture did not write one frame"
if ! same_picture seek.png cap/frame_000000.png; then
  cp seek.png /tmp/playback-failed-seek.png
  cp cap/frame_000000.png /tmp/playback-failed-fresh.png
  fail "the seek back shows another picture than a fresh start (both kept in /tmp/playback-failed-*.png)"
fi

# A start past the end event ends the run after the frame that delivers it.
run_player --capture past --fps 10 --start 200000 --size 64x48
expect_rc 0
[ "$(ls past)" = "$(printf 'audio.wav\nframe_000000.png')" ] || fail "a start past the end captured: $(ls past)"
[ "$(stat -c %s past/audio.wav)" -eq $((44 + 4410 * 4)) ] || fail "a start past the end kept more than a frame's sound"
echo ok
