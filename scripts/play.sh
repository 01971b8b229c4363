#!/usr/bin/env bash
# Sets everything up, builds the player and the sample production, and plays it.
# Extra arguments go to the player (try --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh release
exec build/vplayer --data-dir build/production "$@"
