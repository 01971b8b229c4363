# The sample production's rhythm shows: the bar trigger's white tick on every
# bar from 15,360 ms, the beat trigger's strobe on every beat from 63,360 ms
# (the pattern 1011 from bar 40 skips the second beat), and nothing bright
# between them. Frames are captured every half beat (240 ms) from a tick on;
# a frame on a tick is the flash at full strength, white all over.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

check() { # FROM TO PATTERN: one character per frame, W white, . not
  local from=$1 to=$2 want=$3 got="" means="" f mean
  run_player --capture "$WORK/f$from" --fps 25/6 --from "$from" --to "$to" --size 160x120 --no-music
  expect_rc 0
  for f in "$WORK/f$from"/frame_*.png; do
    mean=$(convert "$f" -colorspace gray -format '%[fx:int(1000*mean)]' info:)
    means="$means $mean"
    if [ "$mean" -ge 950 ]; then got="${got}W"; elif [ "$mean" -le 700 ]; then got="${got}."; else got="${got}?"; fi
  done
  echo "$from-$to ms:$means"
  [ "$got" = "$want" ] || fail "from $from ms every 240 ms: $got, expected $want (brightness$means)"
}
check 15360 19200 W.......W.......W   # the bar ticks
check 63360 65280 W.W.W.W.W           # the strobe on every beat
check 76800 78720 W...W.W.W           # the strobe to the pattern 1011
echo ok
