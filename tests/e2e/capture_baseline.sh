# --capture /dev/null draws the frames a capture draws and writes nothing:
# the baseline that a capture's cost is measured against. The clock trace
# notes every frame, and a cast line before the first frame and before each
# frame where the script started or stopped an effect on a layer (the
# sample production changes scene at 15.36 s; its first frame after that
# at 10 fps is 15400).
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

before=$(ls -A | sort)
# Under strace: what the run opened for writing, made, moved or removed
# anywhere, /dev/null and the working folder included. Only GL's shader
# cache and the clock trace may be written; /dev/null may be opened (a
# child's output goes there), never made, moved or removed.
calls=$(mktemp)
VP_CLOCK_TRACE="$WORK/trace.txt" strace -f -qq -o "$calls" -e signal=none -e status=successful \
  -e trace=open,openat,creat,truncate,rename,renameat,renameat2,unlink,unlinkat,mkdir,mkdirat,link,symlink \
  "$VPLAYER" --capture /dev/null --fps 10 --from 15000 --to 16000 --size 160x120 >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
rm -f out.txt err.txt
expect_rc 0
written=$(awk -v trace="\"$WORK/trace.txt\"" '/shader_cache|^[0-9]+ \+\+\+ exited/ { next }
  /open(at)?\(/ && /O_RDONLY/ && !/O_CREAT|O_TRUNC/ { next }
  /open(at)?\(/ && index($0, "\"/dev/null\", O_") && !/O_CREAT/ { next }
  /open(at)?\(/ && index($0, trace ", O_WRONLY|O_CREAT|O_TRUNC") { next }
  { print }' "$calls")
rm -f "$calls"
[ -z "$written" ] || fail "the capture wrote, made or removed files: $written"
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
