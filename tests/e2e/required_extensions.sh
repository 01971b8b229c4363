# The run refuses to start without the four required extensions, in order,
# each with its own fatal text and exit code 1.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

MESA_EXTENSION_OVERRIDE=-GL_ARB_multitexture run_player --windowed --no-music
expect_rc 1
expect_stderr_line "error: GL_ARB_multitexture not supported by your gfx card!"

for ext in WGL_ARB_pbuffer WGL_ARB_render_texture WGL_ARB_pixel_format; do
  VP_HIDE_EXTENSIONS=$ext run_player --windowed --no-music
  expect_rc 1
  expect_stderr_line "error: $ext not supported by your gfx card!"
  [ "$(printf '%s\n' "$ERR" | grep -c '^error: .*gfx card')" -eq 1 ] || fail "more than one error for $ext: $ERR"
done

# Hiding two reports the first in the checking order.
VP_HIDE_EXTENSIONS="WGL_ARB_pixel_format WGL_ARB_render_texture" run_player --windowed --no-music
expect_rc 1
expect_stderr_line "error: WGL_ARB_render_texture not supported by your gfx card!"
echo ok
