# Started in a folder without a production, the player first says on one line
# what it did not find and how to name a production's folder, then gives the
# loaders' own messages unchanged. A missing soundtrack alone names the file,
# --no-music and --data-dir.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
WORK=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/empty" "$WORK/nosound"
cd "$WORK/empty"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/heard.raw"

# The whole stderr, exactly, but for the lines SDL's disk driver announces itself with.
expect_stderr() {
  local said
  said=$(printf '%s\n' "$ERR" | grep -v '^CRITICAL: ')
  [ "$said" = "$1" ] || fail "stderr is '$said', expected '$1'"
}

run_player --windowed --no-music --resolution 160x120
expect_rc 1
expect_stderr "vplayer: no data.vpd in $WORK/empty: start the player in a production's folder or name one with --data-dir DIR
warning: filename: data/testscript.scr
data size: 0, ptr: 0, retVal: 0
data/testscript.scr: could not be read
error: script: could not open file for parsing"

run_player --windowed --no-music --resolution 160x120 --loose
expect_rc 1
expect_stderr "vplayer: no data/ (the folder --loose reads) in $WORK/empty: start the player in a production's folder or name one with --data-dir DIR
data/testscript.scr: could not be read
error: script: could not open file for parsing"

# With music on, the soundtrack is missing too; its own message ends the run.
run_player --windowed --resolution 160x120
expect_rc 1
expect_stderr "vplayer: no data.vpd and velmorprocess-zqfinal.ogg (the soundtrack) in $WORK/empty: start the player in a production's folder or name one with --data-dir DIR
error: could not set up music"

# The data without its soundtrack.
cd "$WORK/nosound"
ln -s "$VP_PRODUCTION_DIR/data.vpd" .
run_player --windowed --resolution 160x120
expect_rc 1
expect_stderr "vplayer: no velmorprocess-zqfinal.ogg (the soundtrack) in $WORK/nosound: --no-music plays without the soundtrack, --data-dir DIR names a production's folder
error: could not set up music"
echo ok
