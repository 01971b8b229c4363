# Broken data files end the run with exit code 1 and the exact message of the
# reader that met them, loose or from data.vpd, and the player writes nothing
# into the folder it runs in on the way out.
#
# The data folder is small: a script that loads one scene of the production
# (the smallest with both PNG and JPEG textures) and plays it for a moment.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

PROD_DATA="$VP_PRODUCTION_DIR/data"
SCENE=""
for f in $(ls -S -r "$PROD_DATA"/*.vsc); do
  if strings "$f" | grep -q '\.png$' && strings "$f" | grep -q '\.jpg$'; then
    SCENE=$(basename "$f")
    break
  fi
done
[ -n "$SCENE" ] || fail "no production scene has both PNG and JPEG textures"
PNG=$(strings "$PROD_DATA/$SCENE" | grep '\.png$' | sed 's/.*\\//' | head -1)
JPG=$(strings "$PROD_DATA/$SCENE" | grep '\.jpg$' | sed 's/.*\\//' | head -1)

# A fresh copy of the small data folder.
fresh_data() {
  rm -rf data data.vpd
  mkdir -p data/textures
  cp "$PROD_DATA/$SCENE" data/
  cp "$PROD_DATA"/textures/* data/textures/
  printf 'SETUP\r\n0 SIGNAL 20 50 data/%s\r\n0 l 20 1\r\nTIMELINE\r\n100 START 20\r\n400 END_DEMO\r\n' \
    "$SCENE" > data/testscript.scr
}

# Packs the folder into data.vpd, the scene last, and removes the loose files.
pack() {
  "$VP_BUILD_DIR/vpdpack" a data.vpd data/testscript.scr data/textures "data/$SCENE" -p tavex -m stored \
    >/dev/null || fail "vpdpack could not pack the folder"
  rm -rf data
}

# Runs the player on the data as it stands; the folder must look the same
# afterwards (no log files either: the player runs without --log).
play() {
  local before after
  before=$(find . | sort)
  run_player --windowed --no-music --resolution 160x120 "$@"
  after=$(find . | sort)
  [ "$before" = "$after" ] || fail "the player left files behind: $(diff <(echo "$before") <(echo "$after"))"
}

# The whole stderr, exactly.
expect_stderr() {
  [ "$ERR" = "$1" ] || fail "stderr is '$ERR', expected '$1'"
}

# The untouched folder plays to its end, loose and packed.
fresh_data
play --loose
expect_rc 0
pack
play
expect_rc 0

# A scene cut inside its first chunk's record.
fresh_data
first_type=$(od -An -tu4 -j8 -N4 "data/$SCENE" | tr -d ' ')
head -c 20 "$PROD_DATA/$SCENE" > "data/$SCENE"
play --loose
expect_rc 1
expect_stderr "error: Error in parsing data/$SCENE: unexpected end of file in a chunk of type $first_type"

# A scene that does not start with the format's magic.
fresh_data
{ printf 'VORN'; tail -c +5 "$PROD_DATA/$SCENE"; } > "data/$SCENE"
play --loose
expect_rc 1
expect_stderr "error: Error in parsing data/$SCENE: not a vornporter file"

# An empty PNG texture: the scene that names it says which.
fresh_data
: > "data/textures/$PNG"
play --loose
expect_rc 1
expect_stderr "error: Error in parsing data/$SCENE: could not load texture $PNG"

# A JPEG texture whose header is overwritten.
fresh_data
printf '\377\330\377\300\000\002\000\000\000\000\000\000\000\000\000\000' |
  dd of="data/textures/$JPG" bs=1 seek=0 conv=notrunc 2>/dev/null
play --loose
expect_rc 1
expect_stderr "error: Error in parsing data/$SCENE: could not load texture $JPG"

# The scene's member of data.vpd damaged near its end: its checksum fails, the file
# layer shows its box and the scene reader ends the run.
fresh_data
pack
size=$(stat -c %s data.vpd)
printf 'X' | dd of=data.vpd bs=1 seek=$((size - 20)) conv=notrunc 2>/dev/null
play
expect_rc 1
expect_stderr "warning: filename: data/$SCENE
data size: 0, ptr: 0, retVal: 0
error: Error in parsing data/$SCENE: could not open file"

# A directory where the script should be.
fresh_data
rm data/testscript.scr
mkdir data/testscript.scr
play --loose
expect_rc 1
expect_stderr "data/testscript.scr: could not be read
error: script: could not open file for parsing"
echo ok
