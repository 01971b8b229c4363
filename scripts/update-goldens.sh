#!/usr/bin/env bash
# Rewrites every golden picture under tests/golden from the current build.
# Look at every changed picture before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
export VP_SOURCE_DIR=$PWD VPLAYER=$PWD/build/vplayer VP_PRODUCTION_DIR=$PWD/build/production
. tests/support/capture_goldens.sh
scripts/with-display.sh bash -c '. tests/support/capture_goldens.sh; capture_goldens tests/golden/frames'
# The effects and filters over known pictures, rendered by the GL tests.
VP_UPDATE_GOLDENS=1 scripts/with-display.sh build/tests/gl_tests --gtest_filter='*Golden*' >/dev/null
git status --short tests/golden
