# The whole production, every frame at 10 fps and 640x480, in the sanitizer
# build: no address, undefined-behaviour or leak report, and no GL error at
# any effect.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

run_player --check-gl --capture frames --fps 10 --size 640x480
expect_rc 0
for report in "ERROR: AddressSanitizer" "ERROR: LeakSanitizer" "runtime error:" "error:" "warning:"; do
  [[ "$ERR" != *"$report"* ]] || fail "report in the playback: $ERR"
done
frames=$(ls frames | grep -c '^frame_.*\.png$')
# The end-of-demo event at 111 s ends the capture: 1111 frames from 0 ms.
[ "$frames" -ge 1100 ] || fail "only $frames frames captured; stderr: $ERR"
[ -s frames/audio.wav ] || fail "no soundtrack beside the frames"
echo "ok: $frames frames"
