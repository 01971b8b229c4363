# A run captured from the middle of a show shows, at its first frame, the
# picture a run from the start shows at that time. The production is our own,
# not the sample: pattern triggers drive a flash and an inverting flash, a
# screen fade rises out of black and a glow filter captures the flash; the
# triggers' steps fall between frames. From 2500 to 5000 ms a single flash
# has stopped the overlay, so the trigger's steps do not show. The first frame of a --from capture
# has to match the same frame of one capture from the start, at several times.
# (The glow captures a 256 x 256 square: the frames are at least that large.)
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

mkdir -p show/data
cat > show/data/testscript.scr <<'SCR'
SETUP
0 l 0 0
0 l 3 1
0 l 12 1
0 l 43 13
0 l 63 14
0 l 61 14
0 l 62 15
0 s 3 70 63
0 s 3 405 250
0 s 12 70 61
0 s 12 405 730
0 s 43 70 63
TIMELINE
10 START 0
10 s 0 200 20 40 90
10 START 63
10 s 63 8 0
10 s 63 10 120
10 s 3 406 p1201
10 START 3
10 INIT 3
10 START 62
10 INIT 62
10 s 62 200 0 0 0
10 s 62 7 8000
2000 START 43
2000 s 43 91 4 -12 0
2500 INIT 63
2500 s 63 1 0
3000 START 61
3000 START 12
3000 INIT 12
5000 s 63 8 0
12000 END_DEMO
SCR

capture() { # DIR FROM TO
  run_player --data-dir show --loose --no-music --capture "$WORK/$1" --fps 25 --from "$2" --to "$3" --size 288x256
  expect_rc 0
}
capture full 0 8200
for at in 3120 6200 8200; do
  capture "from$at" "$at" "$at"
  whole="$WORK/full/$(printf 'frame_%06d.png' $((at / 40)))"
  first="$WORK/from$at/frame_000000.png"
  [ -f "$whole" ] && [ -f "$first" ] || fail "no frame for $at ms"
  differ=$(compare -metric AE -fuzz 1% "$whole" "$first" null: 2>&1)
  mean=$(convert "$first" -colorspace gray -format '%[fx:int(1000*mean)]' info:)
  meanWhole=$(convert "$whole" -colorspace gray -format '%[fx:int(1000*mean)]' info:)
  echo "$at ms: started there $mean/1000, from the start $meanWhole/1000, $differ pixels differ"
  [ "$differ" = 0 ] || fail "at $at ms a run started there shows another picture ($mean/1000 against $meanWhole/1000)"
done
echo ok
