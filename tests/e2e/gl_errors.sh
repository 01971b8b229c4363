# The whole production with the GL error state read after every effect's
# render and preRender: any error would end the run with the effect named.
# Small frames at 10 per second keep it quick; every effect and scene runs.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

run_player --check-gl --capture frames --fps 10 --size 64x48 --no-music
expect_rc 0
[ -z "$ERR" ] || fail "messages on stderr: $ERR"
[ -f frames/frame_001100.png ] || fail "the capture stopped early"
echo ok
