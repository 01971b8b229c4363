#!/usr/bin/env bash
# Sets everything up, builds both trees and runs the whole test suite:
# every test in the normal build, and the unit, GL and fuzz tests and the
# whole production's playback in the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
scripts/build.sh asan
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
scripts/with-display.sh bash -c '
  set -e
  ctest --test-dir build --output-on-failure -j2
  # A failed case gets a second try in the sanitizer build: the leak checker
  # itself can fault under load after a test has passed, while a real leak or
  # sanitizer report fails both tries.
  ctest --test-dir build-asan --output-on-failure -j2 -L "unit|gl|fuzz|sanitizer" --repeat until-pass:2
'
