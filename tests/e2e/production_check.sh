# vplayer --check: each kind of fault, made in a fresh copy of the sample
# production, is reported once with the file and line it is at; the sample
# itself checks clean from its archive and from its loose files.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

run_player --check
expect_rc 0
[ -z "$ERR" ] || fail "the sample production does not check clean: $ERR"
[ "$OUT" = "0 errors, 0 warnings" ] || fail "unexpected summary: $OUT"

SCRIPT=data/testscript.scr
fresh() { rm -rf data; cp -r "$VP_PRODUCTION_DIR/data" data; }
fresh
run_player --check --loose
expect_rc 0
LAST=$(grep -c '' $SCRIPT)
NEXT=$((LAST + 1))
SETUP=$(grep -n '^SETUP' $SCRIPT | cut -d: -f1)
SCENE_LINE=$(grep -n 'SIGNAL HALL LOAD_SCENE data/hall.vsc' $SCRIPT | cut -d: -f1)
TREE_LINE=$(grep -n 'SIGNAL TREE LOAD_SCENE data/tree.vsc' $SCRIPT | cut -d: -f1)

append() { printf '%s\r\n' "$@" >>$SCRIPT; }
in_setup() { sed -i "${SETUP}a $1" $SCRIPT; }

# One row: the fault (shell code run in the fresh copy), the exit code, and
# the one message expected (a shell pattern).
check_row() {
  fresh
  eval "$1"
  run_player --check --loose
  [ "$RC" -eq "$2" ] || fail "'$1': exit code $RC, expected $2; stderr: $ERR"
  case "$ERR" in $3) ;; *) fail "'$1': expected '$3', got: $ERR" ;; esac
}

check_row "append '// a comment' '/* a block' '*/' '1000 NONSENSE 1'" 1 \
  "$SCRIPT:$((LAST + 4)): error: script: event not recognized in timeline line #: [0-9]*"
check_row "append '1000 START 77'" 1 "$SCRIPT:$NEXT: error: effect id 77 is not registered"
check_row "in_setup '0 SET_LAYER 40 16'" 1 "$SCRIPT:$((SETUP + 1)): error: layer 16 is outside 0-15"
check_row "append '1000 SIGNAL 43 9999 1'" 1 "$SCRIPT:$NEXT: error: effect 43 does not handle signal 9999"
check_row "append '200000 START 0'" 0 "$SCRIPT:$NEXT: warning: event after END_DEMO (at 111000 ms) never happens"
check_row "sed -i '/END_DEMO/d' $SCRIPT" 1 "$SCRIPT: error: the timeline has no END_DEMO: the demo never ends"
check_row "printf 'DEMOSTART 3000\r\nSETUP\r\nTIMELINE\r\n3000 END_DEMO\r\n' >$SCRIPT" 1 \
  "$SCRIPT:4: error: END_DEMO at 3000 ms is at or before the demo start (3000 ms): nothing would play"
# The sample puts every effect on a layer, so this one is a script of its own.
check_row "printf 'SETUP\r\nTIMELINE\r\n1000 START 13\r\n2000 END_DEMO\r\n' >$SCRIPT" 0 \
  "$SCRIPT:3: warning: effect 13 is started but never put on a layer"
check_row "in_setup '0 SIGNAL 27 50 data/nosuch.vsc'" 1 \
  "$SCRIPT:$((SETUP + 1)): error: could not load scene data/nosuch.vsc: Error in parsing data/nosuch.vsc: could not open file"
check_row "in_setup '0 SIGNAL 80 50 data/hall.vsc'" 1 \
  "$SCRIPT:$((SETUP + 1)): error: no object Sphere01 for the tree in scene data/hall.vsc"
check_row "rm data/tree2.arb" 1 "$SCRIPT:$TREE_LINE: error: could not open tree file data/tree2.arb"
# A picture is looked up from the production's folder, not the texture folder.
check_row "append '1000 SIGNAL 50 110 nosuch.png'" 1 \
  "$SCRIPT:$NEXT: error: could not load picture nosuch.png: no file nosuch.png in the production folder (a picture's name is its path from there)"
check_row "append '1000 SIGNAL 50 31 vp_title.png'" 1 \
  "$SCRIPT:$NEXT: error: could not load picture vp_title.png: no file vp_title.png in the production folder (a picture's name is its path from there; data/textures/vp_title.png is there)"
# A code without arguments takes the next line's keyword: the error lands on
# that line, and a note names the signal.
check_row "append '1000 SIGNAL 50 98' 'TIMEOFFSET 2000' '1 START 50'" 1 \
  "$SCRIPT:$NEXT: note: signal 98 to 50 took \"TIMEOFFSET\" as its text argument; codes without arguments need none, but a following keyword is read as one
$SCRIPT:$((NEXT + 1)): error: script: event not recognized in timeline line #: *
$SCRIPT:$((NEXT + 1)): note: \"line #: *\" counts the events of the timeline, not the lines of the file: this is line $((NEXT + 1))"
# An included file's faults are reported in that file, at its own line.
check_row "printf '// part\r\nSETUP\r\nTIMELINE\r\n500 START 99\r\n' >data/part.scr; append 'INCLUDE data/part.scr'" 1 \
  "data/part.scr:4: error: effect id 99 is not registered"
check_row "append 'INCLUDE data/missing.scr'" 1 "$SCRIPT:$NEXT: error: script: could not open file for parsing"

# A texture a scene needs fails every scene that uses it, at the line that loads it.
fresh
rm data/textures/panel.jpg
run_player --check --loose
expect_rc 1
printf '%s\n' "$ERR" | grep -qxF "$SCRIPT:$SCENE_LINE: error: could not load scene data/hall.vsc: Error in parsing data/hall.vsc: could not load texture panel.jpg (looked up as data/textures/panel.jpg)" ||
  fail "the missing texture is not reported at the scene's line: $ERR"

# The soundtrack is read from disk beside the data.
fresh
rm velmorprocess-zqfinal.ogg
: >velmorprocess-zqfinal.ogg
run_player --check --loose
expect_rc 1
expect_stderr_line "velmorprocess-zqfinal.ogg: error: the soundtrack is missing or not Ogg Vorbis"
