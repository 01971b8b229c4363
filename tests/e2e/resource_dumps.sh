# With --log the shutdown writes the texture manager's dump (one
# "Resource: <name>, RefCount: <n>" line per shared texture); without it, none.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

start_player --windowed --no-music --log --resolution 320x240
wait_window
sleep 0.5
quit_with_escape
expect_rc 0

[ -f vp_log_textures.txt ] || fail "vp_log_textures.txt not written with --log"
if [ -s vp_log_textures.txt ]; then
  grep -qvE '^Resource: .+, RefCount: -?[0-9]+$' vp_log_textures.txt &&
    fail "unexpected line in vp_log_textures.txt: $(cat vp_log_textures.txt)"
fi
echo ok
