# A capture shows, at each of its frames, what a capture at 60 frames a
# second shows at that time, whatever its own rate and wherever it begins:
# a beat trigger's 120 ms flashes fire near their beat, not at the next
# drawn frame, and the forcefield's particles move as they do at 60 frames
# a second. 30 frames a second does not divide 1000 ms, so frames counted
# back from --from and counted on from 0 must meet on the same
# milliseconds; at 6200 ms the beat of 6001 has faded, also in a one-frame
# capture at 1 frame a second and between the frames of one at 10.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

mkdir -p show/data
cat > show/data/testscript.scr <<'SCR'
SETUP
0 l 0 0
0 l 3 1
0 l 6 5
0 l 63 14
0 s 3 70 63
0 s 3 405 500
TIMELINE
1 START 0
1 s 0 200 20 40 90
1 START 63
1 s 63 8 0
1 s 63 10 120
1 s 3 406 p1
1 START 3
1 INIT 3
1 START 6
1 INIT 6
1 s 6 90 70
7000 END_DEMO
SCR

capture() { # DIR FPS FROM TO
  run_player --data-dir show --loose --no-music --capture "$WORK/$1" --fps "$2" --from "$3" --to "$4" --size 96x72
  expect_rc 0
}
frame() { # DIR INDEX
  local f
  f="$WORK/$1/$(printf 'frame_%06d.png' "$2")"
  [ -f "$f" ] || fail "$1 has no frame $2"
  echo "$f"
}
expect_same() { # WHAT PICTURE REFERENCE
  same_picture "$2" "$3" || fail "$1: $("$GOLDEN_COMPARE" --same "$2" "$3")"
}

capture full60 60 0 6200
capture full30 30 0 6100
capture at30 30 6100 6100
capture full10 10 0 6200
capture at1 1 6200 6200

expect_same "30 fps from 6100 against 30 fps from 0, at 6100 ms" "$(frame at30 0)" "$(frame full30 183)"
expect_same "30 fps against 60 fps, at 6100 ms" "$(frame full30 183)" "$(frame full60 366)"
expect_same "10 fps against 60 fps, at 6200 ms" "$(frame full10 62)" "$(frame full60 372)"
expect_same "1 fps from 6200 against 60 fps from 0, at 6200 ms" "$(frame at1 0)" "$(frame full60 372)"
echo ok
