# --capture /dev/null draws the frames a capture draws and writes nothing:
# the baseline that a capture's cost is measured against. The clock trace
# notes every frame, and a cast line before the first frame and before each
# frame where the script started or stopped an effect on a layer (the
# sample production changes scene at 15.36 s; its first frame after that
# at 10 fps is 15400).
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

before=$(ls -A | sort)
VP_CLOCK_TRACE="$WORK/trace.txt" run_player --capture /dev/null --fps 10 --from 15000 --to 16000 --size 160x120
expect_rc 0
[ -c /dev/null ] || fail "/dev/null is no longer a device"
after=$(ls -A | grep -vx trace.txt | sort)
[ "$before" = "$after" ] || fail "the capture wrote files: $(comm -13 <(echo "$before") <(echo "$after"))"
! printf '%s\n' "$ERR" | grep -q '^vplayer:' || fail "stderr: $ERR"

frames=$(awk '$1 == "frame" { printf "%s ", $3 }' trace.txt)
[ "$frames" = "15000 15100 15200 15300 15400 15500 15600 15700 15800 15900 16000 " ] || fail "frames drawn: $frames"
casts=$(awk '$1 == "cast" { printf "%s ", $3 }' trace.txt)
[ "$casts" = "15000 15400 " ] || fail "cast changes at: $casts"
awk '$1 == "cast" { cast = $3; next } cast != "" { if ($3 != cast) exit 1; cast = "" }' trace.txt \
  || fail "a cast line is not followed by its frame"
echo ok
