#!/usr/bin/env bash
# Rewrites every golden picture under tests/golden from the build in build/,
# then lists each golden whose picture changed against the last commit, with
# how far it moved: a rewrite in a commit that changes no rendering code
# stands out in review. Builds build/ first, so that no golden comes from a
# build older than the checkout.
# Look at every changed picture before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Goldens written by a stale build pin yesterday's picture as today's: the
# build is brought up to the checkout first, saved changes included, and a
# build that fails writes nothing.
[ -f build/CMakeCache.txt ] || { echo "error: no build in build/: configure it first (see README.md)" >&2; exit 1; }
cmake --build build >/dev/null || { echo "error: the build failed: no golden written" >&2; exit 1; }

export VP_SOURCE_DIR=$root VPLAYER=$root/build/vplayer VPIMPORT=$root/build/vpimport
export VP_PRODUCTION_DIR=$root/build/production GOLDEN_COMPARE=$root/build/tests/golden_compare
scripts/with-display.sh bash -c '. tests/support/capture_goldens.sh; capture_goldens tests/golden/frames'
# The effects and filters over known pictures, rendered by the GL tests, and
# the imported models.
VP_UPDATE_GOLDENS=1 scripts/with-display.sh build/tests/gl_tests --gtest_filter='*Golden*' >/dev/null
VP_UPDATE_GOLDENS=1 scripts/with-display.sh bash tests/golden/imported_models.sh >/dev/null

# A file written anew with the same pixels goes back to the committed one.
old=$(mktemp)
trap 'rm -f "$old"' EXIT
changed=0
while IFS= read -r path; do
  name=${path#tests/golden/}
  name=${name%.png}
  if ! git cat-file -e "HEAD:$path" 2>/dev/null; then
    echo "new      $name"
    changed=$((changed + 1))
    continue
  fi
  git show "HEAD:$path" >"$old"
  if "$GOLDEN_COMPARE" --same "$path" "$old" >/dev/null; then
    git checkout -q HEAD -- "$path"
    continue
  fi
  errors=$("$GOLDEN_COMPARE" --same "$path" "$old" | sed -e "s/^FAIL //" -e "s/ (allowed [0-9.]*)//g" || true)
  echo "changed  $name: $errors"
  changed=$((changed + 1))
done < <(git ls-files --modified --others --exclude-standard -- 'tests/golden/*.png')
echo "$changed golden(s) changed against the last commit"
