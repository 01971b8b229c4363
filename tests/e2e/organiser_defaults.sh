# What a production starts with when started without options: production.ini
# sets the launcher's defaults (a resolution the launcher does not list is
# offered and understood) or does without the launcher; a value it does not
# understand stops the start with its text. Options change only what they
# name of the production's display, a capture's size included. --print-args
# prints the run's arguments instead of playing.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
rm -f production.ini

# No launcher: the defaults play at once.
printf 'launcher = no\nfullscreen = no\nresolution = 640x480\n' >production.ini
run_player --print-args
expect_rc 0
[ "$OUT" = "music=1 fullscreen=0 width=640 height=480 samples=0 anisotropy=0 logging=0 atiShadows=0" ] ||
  fail "without the launcher: $OUT"

# The launcher opens at the production's resolution; Launch! takes it.
printf 'fullscreen = yes\nresolution = 1280x720\n' >production.ini
start_player --print-args
wait_window "Velmor Process - Quorvantix"
press Return
wait_player
expect_rc 0
[ "$(cat "$OUTFILE")" = "music=1 fullscreen=1 width=1280 height=720 samples=0 anisotropy=0 logging=0 atiShadows=0" ] ||
  fail "launched with the defaults: $(cat "$OUTFILE")"

# Fullscreen at the desktop's own resolution: no mode change (fullscreen=0),
# the picture at the production's size; Escape in the launcher ends at once.
printf 'fullscreen = desktop\n' >production.ini
start_player --print-args
wait_window "Velmor Process - Quorvantix"
quit_with_escape
expect_rc 0
[ ! -s "$OUTFILE" ] || fail "Escape in the launcher ran the demo: $(cat "$OUTFILE")"

# Options keep what they do not name: a 16:9 production stays 16:9.
printf 'fullscreen = desktop\nresolution = 1920x1080\n' >production.ini
run_player --no-music --print-args
expect_rc 0
[ "$OUT" = "music=0 fullscreen=0 width=1920 height=1080 samples=0 anisotropy=0 logging=0 atiShadows=0 desktop=1" ] ||
  fail "--no-music: $OUT"
run_player --fullscreen --resolution 1280x720 --print-args
expect_rc 0
[ "$OUT" = "music=1 fullscreen=1 width=1280 height=720 samples=0 anisotropy=0 logging=0 atiShadows=0" ] ||
  fail "--fullscreen --resolution 1280x720: $OUT"
run_player --capture frames --fps 5 --print-args
expect_rc 0
[ "$OUT" = "music=0 fullscreen=0 width=1920 height=1080 samples=0 anisotropy=0 logging=0 atiShadows=0" ] ||
  fail "a capture without --size: $OUT"

printf 'fullscreen = big\n' >production.ini
run_player
expect_rc 1
expect_stderr_line "error: production.ini: fullscreen is yes, no or desktop, not 'big'"
echo ok
