# Captures chosen times of the sample production at 320x240 and compares them
# with the stored golden frames by maximum and mean channel error.
# After an intended change, rewrite the goldens with scripts/update-goldens.sh
# and look at them before committing.
set -u
. "$VP_SOURCE_DIR/tests/support/capture_goldens.sh"
GOLDEN="$VP_SOURCE_DIR/tests/golden/frames"
DEFAULT_MAX=48   # a few pixels may differ where edges are rasterised differently
DEFAULT_MEAN=2.0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
capture_goldens "$work" || { echo "FAIL: capture failed"; exit 1; }

status=0
while read -r t max mean; do
  case "$t" in ''|'#'*) continue ;; esac
  max=${max:-$DEFAULT_MAX}
  mean=${mean:-$DEFAULT_MEAN}
  want="$GOLDEN/t$t.png"
  got="$work/t$t.png"
  if [ ! -f "$want" ]; then
    echo "FAIL: no golden frame $want (run scripts/update-goldens.sh)"
    status=1
    continue
  fi
  # Peak and mean absolute error over all channels, scaled to 0..255.
  peak=$(compare -metric PAE "$got" "$want" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/')
  avg=$(compare -metric MAE "$got" "$want" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/')
  verdict=$(awk -v p="$peak" -v a="$avg" -v mx="$max" -v mn="$mean" \
    'BEGIN { p *= 255; a *= 255; printf "%.1f %.2f %s", p, a, (p <= mx && a <= mn) ? "ok" : "FAIL" }')
  echo "t=$t ms: max $(echo "$verdict" | cut -d' ' -f1), mean $(echo "$verdict" | cut -d' ' -f2): $(echo "$verdict" | cut -d' ' -f3)"
  case "$verdict" in *FAIL) status=1; cp "$got" "/tmp/golden-failed-t$t.png" ;; esac
done < "$VP_SOURCE_DIR/tests/golden/times.txt"
exit $status
