# vpimport on bad input: every broken model the library's test set ships
# ends with exit code 1 and one line naming the file and the reason, leaves
# nothing behind and an older scene file as it was; the one broken file the
# library recovers from (a face naming a material that does not exist)
# imports. A 3DS animation (frames at 30 a second, 90 of them) is sampled
# over its three seconds, and the summary says what was imported. A glTF
# file's animations all play; an OBJ's unit can be given.
set -u
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
: "${VPIMPORT:?}"
MODELS=/usr/share/assimp/models
[ -d "$MODELS/invalid" ] || fail "no test models in $MODELS (scripts/setup.sh installs assimp-testmodels)"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
mkdir out

# The command under a generous bound against a hang; sets RC, ERR and OUT.
import() {
  OUT=$(timeout 120 "$VPIMPORT" "$@" 2>err)
  RC=$?
  ERR=$(cat err)
}

count=0
for model in "$MODELS"/invalid/*; do
  name=$(basename "$model")
  case "$name" in readme.txt) continue ;; esac
  echo old > out/old.vsc
  import "$model" -o out/old.vsc
  if [ "$name" = malformed2.obj ]; then
    [ "$RC" -eq 0 ] || fail "$name: exit code $RC: $ERR"
    [ "$(head -c 8 out/old.vsc | od -An -tx1 | tr -d ' ')" = 0000000001000000 ] || fail "$name: no scene written"
    continue
  fi
  [ "$RC" -eq 1 ] || fail "$name: exit code $RC, expected 1: $ERR"
  [ "$(printf '%s\n' "$ERR" | wc -l)" -eq 1 ] || fail "$name: not one line of error: $ERR"
  case "$ERR" in "vpimport: $model: "?*) ;; *) fail "$name: the error does not name the file: $ERR" ;; esac
  [ "$(cat out/old.vsc)" = old ] || fail "$name: the older scene file was overwritten"
  [ "$(ls out)" = old.vsc ] || fail "$name: left files behind: $(ls out)"
  count=$((count + 1))
done
[ "$count" -ge 10 ] || fail "only $count broken models tried"

# A file the library reads but that holds no triangles at all.
printf 'v 0 0 0\nv 1 0 0\nv 0 1 0\np 1 2 3\n' > points.obj
import points.obj -o out/points.vsc
[ "$RC" -eq 1 ] && [ "$ERR" = "vpimport: points.obj: nothing to import: the file holds no triangles" ] ||
  fail "a file of points: exit code $RC: $ERR"
[ ! -e out/points.vsc ] || fail "a file of points wrote a scene"

import "$MODELS/3DS/TargetCameraAnim.3ds" -o out/camera.vsc -v
[ "$RC" -eq 0 ] || fail "TargetCameraAnim.3ds: exit code $RC: $ERR"
expect_line() {
  printf '%s\n' "$OUT" | grep -qxF -- "$1" || fail "no line '$1' in the summary: $OUT"
}
expect_line "objects: 1 (1 meshes, 0 dummies), faces: 12"
expect_line "cameras: 1, lights: 1 (Omni01 added: none in the file)"
# The camera, its target and the light added beside the moving camera.
expect_line "animated nodes: 3, samples: 31, one every 100 ms (interval 1 at effect speed 100)"
import "$MODELS/3DS/TargetCameraAnim.3ds" -o out/camera.vsc -v --fps 25
expect_line "animated nodes: 3, samples: 76, one every 40 ms (interval 1 at effect speed 40)"

# Blender writes one glTF animation per animated object: all of them play,
# or the one --animation names; -v lists them.
FIDELITY="$VP_SOURCE_DIR/tests/data/fidelity"
import "$FIDELITY/motion.glb" -o out/motion.vsc -v
[ "$RC" -eq 0 ] || fail "motion.glb: exit code $RC: $ERR"
expect_line '  "MoverAction": 2.00 s, 1 node'
expect_line '  "SpinnerAction": 2.00 s, 1 node'
expect_line "animated nodes: 2, samples: 21, one every 100 ms (interval 1 at effect speed 100)"
import "$FIDELITY/motion.glb" -o out/motion.vsc -v --animation SpinnerAction
expect_line '  "MoverAction": 2.00 s, 1 node (left out)'
expect_line "animated nodes: 1, samples: 21, one every 100 ms (interval 1 at effect speed 100)"
import "$FIDELITY/motion.glb" -o out/none.vsc --animation Walk
[ "$RC" -eq 1 ] && [ "$ERR" = "vpimport: $FIDELITY/motion.glb: no animation named \"Walk\": the file holds \"MoverAction\", \"SpinnerAction\"" ] ||
  fail "an unknown animation: exit code $RC: $ERR"
[ ! -e out/none.vsc ] || fail "an unknown animation wrote a scene"

# Blender's OBJ counts in metres, which the file cannot say: taken as
# centimetres it is a hundred times too small and the warning names
# --units; with --units m it is as large as the glTF binary of the scene.
size_of() { printf '%s\n' "$OUT" | sed -n 's/^size: \(.*\) units across$/\1/p'; }
import "$FIDELITY/axes.glb" -o out/axes.vsc -v
glb=$(size_of)
import "$FIDELITY/axes.obj" -o out/axes.vsc -v
[ "$ERR" = "vpimport: warning: the model is 6.4 units across, small for the cameras: the file does not say its unit and is taken as centimetres; if it counts in metres, try --units m" ] ||
  fail "no warning naming --units for a Blender OBJ: $ERR"
import "$FIDELITY/axes.obj" -o out/axes.vsc -v --units m
[ "$RC" -eq 0 ] && [ -z "$ERR" ] && [ "$(size_of)" = "$glb" ] ||
  fail "OBJ with --units m: exit code $RC, size $(size_of), the glTF binary's $glb: $ERR"
exit 0
