# Capture straight to a video file: the frames and their sound go through
# ffmpeg into an MP4 that ffprobe reads with the asked frame rate (also a
# fractional one), the exact number of frames, their length and an AAC
# stream; no temporary file is left. Without ffmpeg the run stops with a
# message naming the package.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

probe() { ffprobe -v error -of default=nw=1:nk=1 "$@"; }

# 1000 to 3000 ms at 60000/1001: the frames at or before 3000 ms are
# 0 .. floor(2000 * 60 / 1001 * 1000 / 1000) = 119.
run_player --capture out/demo.mp4 --fps 60000/1001 --from 1000 --to 3000 --size 160x120
expect_rc 0
[ -f out/demo.mp4 ] || fail "no video written; stderr: $ERR"
[ "$(ls out)" = "demo.mp4" ] || fail "files left beside the video: $(ls out)"
[ "$(probe -select_streams v:0 -show_entries stream=codec_name,width,height,r_frame_rate out/demo.mp4 | tr '\n' ' ')" = \
  "h264 160 120 60000/1001 " ] || fail "video stream: $(probe -show_streams out/demo.mp4)"
frames=$(probe -select_streams v:0 -count_frames -show_entries stream=nb_read_frames out/demo.mp4)
[ "$frames" = 120 ] || fail "$frames frames, expected 120"
[ "$(probe -select_streams a:0 -show_entries stream=codec_name out/demo.mp4)" = aac ] || fail "no AAC stream"
duration=$(probe -show_entries format=duration out/demo.mp4)
awk -v d="$duration" 'BEGIN { exit !(d > 1.99 && d < 2.05) }' || fail "duration $duration, expected 2.002"
printf '%s\n' "$ERR" | grep -q '^vplayer: wrote out/demo.mp4: 120 frames, 2.002 s of video, in ' ||
  fail "closing line: $ERR"

# Whole numbers, another container, no sound; an odd size gains a row and
# a column, which 4:2:0 chroma needs.
run_player --capture demo.mkv --fps 10 --to 500 --size 65x49 --no-music
expect_rc 0
[ "$(probe -select_streams v:0 -show_entries stream=r_frame_rate,width,height demo.mkv | tr '\n' ' ')" = \
  "66 50 10/1 " ] || fail "mkv stream: $(probe -show_streams demo.mkv)"
[ -z "$(probe -select_streams a -show_entries stream=index demo.mkv)" ] || fail "sound in a --no-music video"

# No ffmpeg on the PATH: refused before any window opens.
PATH=/nonexistent "$VPLAYER" --capture nothing.mp4 --fps 25 --to 200 --size 64x48 2>err.txt
RC=$?
ERR=$(cat err.txt)
expect_rc 1
expect_stderr_line "vplayer: video capture needs ffmpeg, which is not installed (Debian package ffmpeg)"
[ ! -e nothing.mp4 ] || fail "a video without ffmpeg"

run_player --capture bad.mp4 --fps 60000/0
expect_rc 2
echo ok
