# Every program the build makes answers --help, refuses an option it does not
# know with its usage and exit code 2, and never takes an option for a file or
# folder to write. The player asked for the launcher without a display says
# why it cannot show it.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir
mkdir scratch && cd scratch

run() { # PROGRAM ARGS...: sets RC, OUT, ERR
  local out err
  out=$(mktemp) err=$(mktemp)
  "$@" >"$out" 2>"$err"
  RC=$?
  OUT=$(cat "$out") ERR=$(cat "$err")
  rm -f "$out" "$err"
}

for program in vplayer vpdpack vp_makeprod tools/synth/vp_synth; do
  tool=${program##*/}
  run "$VP_BUILD_DIR/$program" --help
  expect_rc 0
  printf '%s\n' "$OUT" | grep -q "^usage: $tool" || fail "$tool --help: $OUT"
  run "$VP_BUILD_DIR/$program" --frobnicate
  expect_rc 2
  printf '%s\n' "$ERR" | grep -q "usage: $tool" || fail "$tool --frobnicate gives no usage: $ERR"
done
# An option where a folder or file name belongs is refused, and nothing is
# written under its name.
run "$VP_BUILD_DIR/vpdpack" x archive member -o --solid
expect_rc 2
run "$VP_BUILD_DIR/vplayer" --capture --fps 25
expect_rc 2
run "$VP_BUILD_DIR/vplayer" --data-dir --loose
expect_rc 2
[ -z "$(ls -A)" ] || fail "a file named after an option: $(ls -A)"

# The launcher needs a display: without one the player says so and how to do
# without the dialog; with one that cannot be opened, which one.
run env -u WAYLAND_DISPLAY DISPLAY= "$VPLAYER" --print-args
expect_rc 1
[ "$ERR" = "vplayer: no display to show the launcher dialog on (DISPLAY is not set); options such as --play skip the dialog" ] ||
  fail "--print-args without a display: '$ERR'"
run env -u WAYLAND_DISPLAY DISPLAY=:97 "$VPLAYER" --print-args
expect_rc 1
[ "$ERR" = "error: Can't open display: :97" ] || fail "--print-args with a display that cannot be opened: '$ERR'"
echo ok
