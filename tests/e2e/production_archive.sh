# The production's data.vpd: every file under data/ is in it byte for byte,
# unar agrees with its checksums, and the player reads its data from it
# (and from data/ only with --loose).
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

PACK="$VP_BUILD_DIR/vpdpack"
ARCHIVE="$VP_PRODUCTION_DIR/data.vpd"
[ -f "$ARCHIVE" ] || fail "no data.vpd in $VP_PRODUCTION_DIR"

count=0
while IFS= read -r f; do
  rel=${f#"$VP_PRODUCTION_DIR"/}
  "$PACK" x "$ARCHIVE" "$rel" -p tavex -o member.out || fail "vpdpack cannot extract $rel"
  cmp -s member.out "$f" || fail "member $rel differs from the file"
  count=$((count + 1))
done < <(find "$VP_PRODUCTION_DIR/data" -type f | sort)
[ "$count" -gt 0 ] || fail "the production has no data files"
members=$("$PACK" l "$ARCHIVE" | tail -n +3 | wc -l)
[ "$members" -eq "$count" ] || fail "data.vpd holds $members members for $count files"
"$PACK" l "$ARCHIVE" | grep -qF 'DATA\TESTSCRIPT.SCR *' || fail "the script is not stored encrypted as DATA\\TESTSCRIPT.SCR"

lsar -t -p tavex "$ARCHIVE" > lsar.out 2>&1 || fail "lsar rejects data.vpd: $(cat lsar.out)"
grep -qx "$count passed, 0 failed." lsar.out || fail "lsar: $(cat lsar.out)"

# Without data/ the player still plays: everything comes from the archive,
# the soundtrack from beside it. Four frames at 10 fps: 0.4 s of sound.
rm -f data
run_player --capture frames --fps 10 --to 300 --size 64x48
expect_rc 0
[ -f frames/frame_000003.png ] || fail "no frames captured from the archive; stderr: $ERR"
[ ! -f frames/frame_000004.png ] || fail "a frame past --to"
[ "$(stat -c %s frames/audio.wav)" -eq $((44 + 17640 * 4)) ] || fail "audio.wav does not last four frames"
rm -rf frames
run_player --capture frames --fps 10 --to 300 --size 64x48 --no-music
expect_rc 0
[ ! -e frames/audio.wav ] || fail "--no-music still wrote audio.wav"

# A wrong password is said first, with where it was set, and nothing else is read.
WRONG="data/testscript.scr in data.vpd does not decrypt"
run_player --capture frames --fps 10 --to 300 --size 64x48 --no-music --password nope
expect_rc 1
[ "$ERR" = "error: the password is probably wrong (--password): $WRONG" ] || fail "wrong --password: $ERR"
printf 'password = nope\n' >production.ini
run_player --check --no-music
expect_rc 1
[ "$ERR" = "error: the password is probably wrong (production.ini's password key; --password overrides it): $WRONG" ] ||
  fail "wrong password in production.ini: $ERR"
run_player --check --no-music --password tavex
expect_rc 0
rm production.ini

# --loose reads data/ from disk, which is gone.
run_player --loose --capture frames --fps 10 --to 300 --size 64x48 --no-music
expect_rc 1
expect_stderr_line "error: script: could not open file for parsing"

# Without the archive the file layer shows its message for the script.
rm -f data.vpd
run_player --capture frames --fps 10 --to 300 --size 64x48 --no-music
expect_rc 1
[[ "$ERR" == *$'warning: filename: data/testscript.scr\ndata size: 0, ptr: 0, retVal: 0\n'* ]] ||
  fail "no archive message; stderr: $ERR"
expect_stderr_line "error: script: could not open file for parsing"
echo ok
