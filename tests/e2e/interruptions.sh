# SIGTERM and SIGINT cut a run short but are no success: the player says it
# was interrupted and at which demo time, exits 128 + the signal, and what a
# capture wrote up to there is complete: every PNG frame whole, audio.wav's
# header matching its data, a video finished by ffmpeg. Ctrl+C reaches the
# whole process group, ffmpeg included; a service manager signals ffmpeg
# too, which then stops taking frames, and the video keeps those it took. A
# player killed outright leaves only a part file that says what it is.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

# The line that says where it stopped; sets AT (ms) and HELD (frames).
interrupted_at() {
  local line
  line=$(grep -E "^vplayer: interrupted by $1 at demo time -?[0-9]+ ms" <<<"$ERR") ||
    fail "no interruption line for $1: $ERR"
  AT=$(sed -E 's/.* at demo time (-?[0-9]+) ms.*/\1/' <<<"$line")
  HELD=$(sed -nE 's/.* holds the ([0-9]+) frames? up to there$/\1/p' <<<"$line")
}

# Frames to a folder, SIGTERM once the tenth is on disk.
start_player --capture frames --fps 25 --size 64x48
wait_until "[ -f frames/frame_000009.png ]" 120 "ten captured frames"
kill -TERM "$PID"
wait_player 120
expect_rc 143
interrupted_at SIGTERM
[ -n "$HELD" ] && [ "$HELD" -ge 10 ] || fail "the message does not say how many frames were kept: $ERR"
[ "$ERR" = "vplayer: interrupted by SIGTERM at demo time $AT ms; frames holds the $HELD frames up to there" ] ||
  fail "unexpected stderr: $ERR"
# Frame k shows demo time k x 40 ms from the demo start (0).
[ "$AT" -eq $(((HELD - 1) * 40)) ] || fail "frame $((HELD - 1)) is not at $AT ms"
[ "$(ls frames/frame_*.png | wc -l)" -eq "$HELD" ] || fail "$(ls frames | wc -l) files for $HELD frames"
identify -regard-warnings frames/frame_*.png >/dev/null 2>identify.err || fail "a broken frame: $(cat identify.err)"
size=$(stat -c %s frames/audio.wav)
riff=$(od -An -tu4 -j4 -N4 frames/audio.wav | tr -d ' ')
data=$(od -An -tu4 -j40 -N4 frames/audio.wav | tr -d ' ')
[ "$riff" -eq $((size - 8)) ] && [ "$data" -eq $((size - 44)) ] || fail "audio.wav's header ($riff, $data) for $size bytes"
[ "$data" -eq $((HELD * 44100 * 4 / 25)) ] || fail "audio.wav holds $data bytes for $HELD frames"

# A video, Ctrl+C as a terminal sends it: to the player's process group.
start_player_in_group() {
  OUTFILE=$(mktemp) ERRFILE=$(mktemp)
  setsid "$VPLAYER" "$@" >"$OUTFILE" 2>"$ERRFILE" &
  PID=$!
}
# The frames go to a part file first; the soundtrack is muxed in at the end.
# After the player ends only the video is left, holding the frames the
# message names, the last one at the time it names, with its sound.
video_kept_as_said() {
  local frames duration
  [ "$(ls "$1"*)" = "$1" ] || fail "files beside $1: $(ls "$1"*)"
  frames=$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$1")
  [ -n "$HELD" ] && [ "$frames" -eq "$HELD" ] || fail "$1 holds $frames frames, the message says ${HELD:-none}: $ERR"
  [ "$AT" -eq $(((HELD - 1) * 40)) ] || fail "frame $((HELD - 1)) is not at $AT ms"
  ffprobe -v error -select_streams a -show_entries stream=codec_name -of csv=p=0 "$1" | grep -qx aac ||
    fail "$1 has no soundtrack"
  # Sound cut to the frames: longer sound would make the whole longer.
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
  awk -v d="$duration" -v f="$HELD" 'BEGIN { exit !(d > f / 25 - 0.03 && d < f / 25 + 0.05) }' ||
    fail "$1 lasts $duration s for $HELD frames"
}

start_player_in_group --capture demo.mkv --fps 25 --size 64x48
wait_until "[ -s demo.mkv.part ]" 120 "ffmpeg writing the video"
kill -INT -- "-$PID"
wait_player 120
expect_rc 130
interrupted_at SIGINT
video_kept_as_said demo.mkv

# SIGTERM to the player and ffmpeg at once.
start_player --capture stopped.mp4 --fps 25 --size 64x48
wait_until "[ -s stopped.mp4.part ]" 120 "ffmpeg writing the video"
kill -TERM "$PID" "$(pgrep -P "$PID" -x ffmpeg)"
wait_player 120
expect_rc 143
interrupted_at SIGTERM
expect_stderr_line "vplayer: interrupted by SIGTERM at demo time $AT ms; stopped.mp4 holds the $HELD frames up to there"
# Nothing said of a failure: ffmpeg was stopped, it did not fail.
[ -z "$(grep -vE '^vplayer: (wrote stopped\.mp4: |interrupted by SIGTERM )' <<<"$ERR")" ] || fail "unexpected stderr: $ERR"
video_kept_as_said stopped.mp4

# Killed outright: ffmpeg ends its file, under the part name, and the next
# capture to the same name replaces it.
start_player --capture killed.mp4 --fps 25 --size 64x48
wait_until "[ -s killed.mp4.part ]" 120 "ffmpeg writing the video"
encoder=$(pgrep -P "$PID" -x ffmpeg)
kill -KILL "$PID"
wait_player 60
timeout 60 tail --pid="$encoder" -f /dev/null || fail "ffmpeg went on after the player was killed"
[ "$(ls killed.mp4*)" = "killed.mp4.part" ] || fail "a killed capture left $(ls killed.mp4*)"
run_player --capture killed.mp4 --fps 25 --to 200 --size 64x48
expect_rc 0
[ "$(ls killed.mp4*)" = "killed.mp4" ] || fail "after a capture again: $(ls killed.mp4*)"

# Playing in a window: the same exit code and the time shown.
start_player --windowed --no-music --resolution 160x120
wait_window
kill -TERM "$PID"
wait_player 60
expect_rc 143
interrupted_at SIGTERM
[ -z "$HELD" ] || fail "playback claims frames: $ERR"

# The launcher dialog closes and says so.
start_player
wait_window "Velmor Process - Quorvantix"
kill -INT "$PID"
wait_player 60
expect_rc 130
[ "$ERR" = "vplayer: interrupted by SIGINT" ] || fail "launcher: $ERR"
echo ok
