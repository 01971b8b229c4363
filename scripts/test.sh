#!/usr/bin/env bash
# Sets everything up, builds both trees and runs the whole test suite:
# every test in the normal build, and the unit, GL and fuzz tests and the
# whole production's playback in the sanitizer build. Both stages run even
# when the first fails; each ends with one summary line, and the script
# fails when either stage did.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Builds one tree and runs its tests; the stage's summary line goes to
# stage_results. A tree that does not build fails its stage only.
stage_results=()
failed=0
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
run_stage() {
  local name=$1 tree=$2 start rc
  shift 2
  start=$(date +%s)
  echo "== $name"
  set +e
  if scripts/build.sh "$tree"; then
    scripts/with-display.sh "$@" 2>&1 | tee "$logs/$name.log"
    rc=${PIPESTATUS[0]}
  else
    echo "build of $tree failed" >"$logs/$name.log"
    rc=1
  fi
  set -e
  local summary
  summary=$(grep -E '^[0-9]+% tests passed' "$logs/$name.log" | tail -1)
  [ -n "$summary" ] || summary="no test summary (exit code $rc)"
  if [ "$rc" -eq 0 ]; then
    stage_results+=("$name: PASSED, $summary, $(($(date +%s) - start)) s")
  else
    stage_results+=("$name: FAILED, $summary, $(($(date +%s) - start)) s")
    failed=1
  fi
}

run_stage release release ctest --test-dir build --output-on-failure -j2
run_stage sanitizer asan ctest --test-dir build-asan --output-on-failure -j2 -L "unit|gl|fuzz|sanitizer"

echo
printf '%s\n' "${stage_results[@]}"
exit $failed
