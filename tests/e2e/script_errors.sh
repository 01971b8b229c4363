# A malformed script ends the run with exit code 1 and the parser's exact
# message, after a line naming the file and the line in it and before a note
# naming the word it stopped at; a missing script has its own message.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
mkdir data

printf 'SETUP\r\n0 l 0 0\r\nTIMELINE\r\n100 START 0\r\n200 JUMP 0\r\n' > data/testscript.scr
run_player --windowed --no-music --loose --resolution 160x120
expect_rc 1
expect_stderr_line "data/testscript.scr:5: 200 JUMP 0"
expect_stderr_line "error: script: event not recognized in timeline line #: 2"
expect_stderr_line 'data/testscript.scr:5: note: "JUMP" is not an event word: START, END, INIT, SIGNAL, SET_LAYER or END_DEMO (or b, e, i, s, l)'

printf 'SETUP\r\n0 l 0 0\r\n5 l 3 1\r\n' > data/testscript.scr
run_player --windowed --no-music --loose --resolution 160x120
expect_rc 1
expect_stderr_line "data/testscript.scr:3: 5 l 3 1"
expect_stderr_line "error: script: not a valid time (should be 0) in setup line #: 2"

rm data/testscript.scr
run_player --windowed --no-music --loose --resolution 160x120
expect_rc 1
expect_stderr_line "data/testscript.scr: could not be read"
expect_stderr_line "error: script: could not open file for parsing"
echo ok
