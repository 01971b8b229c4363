# Real models from other tools, imported with vpimport into a small loose
# production and played through the scene effect, one after the other over
# a cleared screen: a
# textured COLLADA model, a glTF binary with a deep hierarchy, a 3DS file
# whose camera moves (two frames, apart in time; the file has no light, so
# the one added goes with the camera and the face it turns to is lit), an OBJ with its MTL and
# textures, an FBX with an embedded texture; and our own three coloured arms
# (red along x, green up, blue toward the viewer) from an OBJ (y up) and a
# COLLADA file (z up), where a mirror, a flip or a quarter turn of the
# importer's frame moves an arm. Each frame is compared with its golden.
set -u
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
: "${GOLDEN_COMPARE:?}" "${VPIMPORT:?}"
MODELS=/usr/share/assimp/models
OWN=$VP_SOURCE_DIR/tests/data/models
[ -d "$MODELS" ] || fail "no test models in $MODELS (scripts/setup.sh installs assimp-testmodels)"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
mkdir -p data

# name, model and options; model k plays from k seconds on, as effect 20 + k.
models=(
  "duck $MODELS/Collada/duck.dae"
  "engine $MODELS/glTF2/2CylinderEngine-glTF-Binary/2CylinderEngine.glb --scale 0.01"
  "camera $MODELS/3DS/TargetCameraAnim.3ds"
  "spider $MODELS/OBJ/spider.obj"
  "fbxbox $MODELS/FBX/box_orphant_embedded_texture.fbx"
  "axes_obj $OWN/axes.obj"
  "axes_dae $OWN/axes.dae"
)
# Golden frames: name and demo time in ms.
frames="duck 500
engine 1500
camera 2400
camera_later 2900
spider 3500
fbxbox 4500
axes_obj 5500
axes_dae 6500"

{
  printf 'SETUP\r\n'
  k=0
  for entry in "${models[@]}"; do
    set -- $entry
    printf '0 SIGNAL %d 50 data/%s.vsc\r\n' $((20 + k)) "$1"
    k=$((k + 1))
  done
  printf '0 SET_LAYER 0 0\r\nTIMELINE\r\n1 START 0\r\n'
  for k in $(seq 0 $((${#models[@]} - 1))); do
    printf '%d SET_LAYER %d 1\r\n%d START %d\r\n%d END %d\r\n' \
      $((k * 1000 + 1)) $((20 + k)) $((k * 1000 + 1)) $((20 + k)) $((k * 1000 + 999)) $((20 + k))
  done
  printf '%d END_DEMO\r\n' $((${#models[@]} * 1000 + 500))
} > data/testscript.scr

for entry in "${models[@]}"; do
  set -- $entry
  name=$1 model=$2
  shift 2
  "$VPIMPORT" "$model" -o "data/$name.vsc" "$@" 2>import.err || fail "import of $model: $(cat import.err)"
done

VP_NO_DIALOGS=1 "$VPLAYER" --loose --capture shots --fps 10 --from 0 --to 6500 --size 320x240 --no-music \
  >/dev/null 2>play.err || fail "the player could not play the imported scenes: $(cat play.err)"

status=0
while read -r name ms; do
  "$GOLDEN_COMPARE" "import/$name" "shots/$(printf 'frame_%06d.png' $((ms / 100)))" || status=1
done <<< "$frames"
# The camera moved between its two frames.
if "$GOLDEN_COMPARE" --same shots/frame_000024.png shots/frame_000029.png >/dev/null; then
  echo "FAIL: the 3DS camera does not move"
  status=1
fi
exit $status
