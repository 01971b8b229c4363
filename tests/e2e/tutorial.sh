# The tutorial's production plays: its model is imported as the tutorial
# says, it checks clean, and captured frames show the clear colour, the
# duck, a flash on the beat and the glow.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
: "${VPIMPORT:?}"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cp -r "$VP_SOURCE_DIR/docs/example/." "$WORK/"
cd "$WORK"
"$VPIMPORT" /usr/share/assimp/models/Collada/duck.dae -o data/duck.vsc >/dev/null || fail "the duck does not import"

run_player --check --loose --no-music
expect_rc 0
[ -z "$ERR" ] || fail "the tutorial does not check clean: $ERR"

# Frames every 250 ms from 3001 to 9001 ms: before the beat, on the beats
# (4001 + n x 500) and between them, with and without the glow.
run_player --loose --no-music --capture "$WORK/f" --fps 4 --from 3001 --to 9001 --size 160x120
expect_rc 0
frame() { printf '%s/f/frame_%06d.png' "$WORK" $((($1 - 3000) / 250)); }
mean() { convert "$(frame "$1")" -colorspace gray -format '%[fx:int(1000*mean)]' info:; }
# Pixels much brighter than the clear colour: the duck.
lit() { convert "$(frame "$1")" -colorspace gray -threshold 40% -format '%[fx:int(1000*mean)]' info:; }

before=$(mean 3751) beat=$(mean 6001) between=$(mean 6251) duck=$(lit 6251) glow=$(mean 8251)

# The same moment without the glow's start: the glow is what brightens it.
sed -i '/^1 START GLOW/d' data/testscript.scr
run_player --loose --no-music --capture "$WORK/g" --fps 4 --from 8251 --to 8251 --size 160x120
expect_rc 0
plain=$(convert "$WORK/g/frame_000000.png" -colorspace gray -format '%[fx:int(1000*mean)]' info:)

echo "brightness 3751: $before, 6001: $beat, 6251: $between, 8251: $glow (no glow: $plain); duck pixels: $duck"
[ "$before" -le 600 ] || fail "the picture is bright before the beat starts ($before)"
[ "$beat" -ge 950 ] || fail "no flash on the beat at 6001 ms ($beat)"
[ "$between" -le 600 ] || fail "the flash does not end between beats ($between)"
[ "$duck" -ge 20 ] || fail "the duck is not visible ($duck)"
# A subtle glow: it brightens the duck's edges, and the duck keeps its features.
[ "$glow" -ge $((plain + 10)) ] || fail "the glow does not brighten the picture ($glow, without it $plain)"
[ "$glow" -le $((plain + 40)) ] || fail "the glow washes the picture out ($glow, without it $plain)"
echo ok
