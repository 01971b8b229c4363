# With --log the run writes the extension list, one "fps: " line per 100
# frames with the summary, and the texture and scene dumps; without it, nothing.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

start_player --windowed --no-music --no-vsync --log --resolution 160x120
wait_window
# The first line comes after 100 frames.
wait_until "grep -q '^fps: ' vp_profiling.txt 2>/dev/null" 120 "no fps line after 100 frames"
quit_with_escape
expect_rc 0

[ -f vp_log_extensions.txt ] || fail "no extension list"
grep -qxF "WGL: " vp_log_extensions.txt || fail "extension list lacks the WGL line"
grep -qxF "GL_ARB_multitexture" vp_log_extensions.txt || fail "extension list lacks GL_ARB_multitexture"
grep -qxF "WGL_ARB_pbuffer" vp_log_extensions.txt || fail "extension list lacks WGL_ARB_pbuffer"

[ -f vp_profiling.txt ] || fail "no profiling file"
fps_lines=$(grep -c '^fps: [0-9.]*$' vp_profiling.txt)
[ "$fps_lines" -ge 1 ] || fail "no fps lines: $(cat vp_profiling.txt)"
tail -n 3 vp_profiling.txt | head -n 1 | grep -qxF '*****************************' || fail "no asterisk line"
tail -n 2 vp_profiling.txt | head -n 1 | grep -q '^minFPS: [0-9.]*$' || fail "bad minFPS line"
tail -n 1 vp_profiling.txt | grep -qP '^maxFPS:\t[0-9.]*$' || fail "bad maxFPS line"
[ "$(wc -l < vp_profiling.txt)" -eq $((fps_lines + 3)) ] || fail "stray lines in the profiling file"

[ -f vp_log_textures.txt ] || fail "no texture dump"
[ -f vp_log_scenes.txt ] || fail "no scene dump"
if [ -s vp_log_scenes.txt ]; then
  grep -qvE '^Resource: .+, RefCount: -?[0-9]+$' vp_log_scenes.txt &&
    fail "unexpected line in the scene dump: $(cat vp_log_scenes.txt)"
fi
echo ok
