# Shadow maps switched by a script on machines that lack what they need end
# the run with the exact message, whichever way the signal switches.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
mkdir data
for f in "$VP_PRODUCTION_DIR"/data/*; do
  case "$f" in */testscript.scr) ;; *) ln -s "$f" data/ ;; esac
done

# The production's hall in scene effect 25, with the signals at 200 ms.
script() {
  printf 'SETUP\r\n0 l 0 0\r\n0 l 25 2\r\n0 s 25 50 data/hall.vsc\r\nTIMELINE\r\n1 START 0\r\n1 START 25\r\n'
  for s in "$@"; do printf '200 s 25 %s\r\n' "$s"; done
  printf '600 END_DEMO\r\n'
}
play() {
  run_player --no-music --loose --capture frames --fps 10 --size 96x72
}

script "310 1" > data/testscript.scr
MESA_EXTENSION_OVERRIDE=-GL_ARB_shadow play
expect_rc 1
expect_stderr_line "error: arb_shadow not supported.."

# Projector shadows need the units too, but only say nothing; switching
# shadow maps off is as fatal as switching them on.
script "311 1" "310 0" > data/testscript.scr
VP_MAX_TEXTURE_UNITS=2 play
expect_rc 1
expect_stderr_line "error: not enough texture units for shadows"

# With everything there but the depth binding, the copied map renders
# without a GL error at any check point.
script "310 1" > data/testscript.scr
VP_HIDE_EXTENSIONS=WGL_NV_render_depth_texture run_player --no-music --loose --check-gl --capture frames --fps 10 --size 96x72
expect_rc 0
[ -z "$ERR" ] || fail "messages on stderr with the copied map: $ERR"
echo ok
