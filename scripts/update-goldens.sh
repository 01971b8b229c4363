#!/usr/bin/env bash
# Rewrites the golden frames of tests/golden/frames from the current build.
# Look at every changed picture before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
export VP_SOURCE_DIR=$PWD VPLAYER=$PWD/build/vplayer VP_PRODUCTION_DIR=$PWD/build/production
. tests/support/capture_goldens.sh
scripts/with-display.sh bash -c '. tests/support/capture_goldens.sh; capture_goldens tests/golden/frames'
git status --short tests/golden/frames
