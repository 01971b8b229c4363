# Captures chosen times of the sample production at 320x240 and compares them
# with the stored golden frames, each under its own tolerance.
# After an intended change, rewrite the goldens with scripts/update-goldens.sh
# and look at them before committing.
set -u
: "${GOLDEN_COMPARE:?}"
. "$VP_SOURCE_DIR/tests/support/capture_goldens.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
capture_goldens "$work" || { echo "FAIL: capture failed"; exit 1; }

status=0
count=0
while read -r t rest; do
  case "$t" in ''|'#'*) continue ;; esac
  "$GOLDEN_COMPARE" "frames/t$t" "$work/t$t.png" || status=1
  count=$((count + 1))
done < "$VP_SOURCE_DIR/tests/golden/times.txt"
[ "$count" -gt 0 ] || { echo "FAIL: no golden times"; exit 1; }
exit $status
