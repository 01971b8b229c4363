#!/usr/bin/env bash
# A small mutation check: puts plausible one-line faults into the code, one
# at a time, rebuilds what they touch, runs the tests named beside each and
# prints which faults the tests catch and which survive. Not part of the
# test command: it takes a while and rebuilds the tree for every fault.
#
#   scripts/mutants.sh [-l] [NAME-REGEX]
#
# -l lists the faults; NAME-REGEX runs only those whose name matches.
# BUILD_DIR names the build folder (default: build). Every faulted file is
# put back from a copy as soon as its tests have run, and on any exit
# (Ctrl+C too); a fault whose expression changes nothing is reported, not
# run. A file with uncommitted changes is refused, so that a copy is never
# the only record of someone's work.
set -uo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}

NAMES=() FILES=() EXPRS=() TESTS=()
# name, file, sed expression (one line changed), ctest regex.
fault() { NAMES+=("$1") FILES+=("$2") EXPRS+=("$3") TESTS+=("$4"); }

# Script notes and errors
fault setup-swallow-note engine/Script.cpp \
  's/^            noteSignal(\*setupList.back(), value, false);/            (void)value;/' \
  '^ScriptFatal\.ErrorsExitWithTheirMessage$|^ScriptParser\.NotesSignals'
# Music
fault music-start-at-length platform/MusicStream.cpp \
  's/timeMs >= music->durationMs;/timeMs > music->durationMs;/' \
  '^MusicStreamHeard\.MusicTimePastTheEnd'
fault ogg-link-rate platform/OggPcmReader.cpp \
  's/heldRate = static_cast<int>(info->rate);/heldRate = linkRate;/' \
  '^CaptureSoundtrack\.AChained|^MusicStreamHeard\.EachLink'
fault surround-centre platform/SurroundDownmix.cpp \
  '/case 6:/{n;s/w\[1\] = centre, w\[2\] = right/w[1] = right, w[2] = centre/}' \
  '^SurroundDownmix\.|^CaptureSoundtrack\.AChained'
fault production-names-music app/ProductionNames.cpp \
  's/^        music = value;/        (void)value;/' \
  '^e2e\.production_names$'
# Capture and interruptions
fault capture-frame-minus-one app/FrameCapture.h \
  's/frameTimeMs(std::max(frame - 1, 0))/frameTimeMs(frame - 1)/' \
  '^FrameCaptureGL\.'
fault video-kept-frames app/VideoExport.cpp \
  's/^        keptFrames = encodedFrames(videoPath);/        \/\/ encodedFrames(videoPath);/' \
  '^e2e\.interruptions$'
fault timegrid-floor engine/TimeGrid.cpp \
  's/return (a % b != 0 \&\& a < 0) ? q - 1 : q;/return q;/' \
  '^CaptureSteps\.|^ScriptPlayerGL\.|^FrameCaptureGL\.'
fault forcefield-catch-up effects/Forcefield.cpp \
  '/^void Forcefield::catchUp/,/^}/s/advance(time, false);/(void)time;/' \
  '^CaptureSteps\.Forcefield|^Forcefield\.'
fault stale-display platform/GLWindow.cpp \
  's/if (!(x11 \&\& offscreen))/if (true)/' \
  '^e2e\.capture_without_display$'
# Keys
fault key-press-only-its-own engine/KeyState.cpp \
  's/^    pressedSinceFrame\[vk\] = true;/    pressedSinceFrame.set();/' \
  '^KeyState\.|^ScriptPlayerGL\.'
fault keys-held-at-once engine/KeyState.cpp \
  's/return (down\[a\] \&\& down\[b\]) || downWith\[a\]\[b\];/return isDown(a) \&\& isDown(b);/' \
  '^KeyState\.|^ScriptPlayerGL\.'
# Starts, loops and the watch
fault start-past-end-shown-paused app/PlaybackControl.cpp \
  's/if (end > demoStart \&\& at >= end)/if (false)/' \
  '^PlaybackControlGL\.'
fault start-at-end-shown-paused app/PlaybackControl.cpp \
  's/if (end > demoStart \&\& at >= end)/if (end > demoStart \&\& at > end)/' \
  '^PlaybackControlGL\.'
fault loop-cut-at-end app/SectionLoop.cpp \
  's/^        to = demoEnd;/        \/\/ to = demoEnd;/' \
  '^PlaybackControlGL\.'
fault end-demo-before-start-checks app/ProductionChecker.cpp \
  's/else if (endDemo->time <= script.demoStart())/else if (false)/' \
  '^e2e\.production_check$'
fault folder-rewalk platform/FolderWatch.cpp \
  's/^    walked.clear();/    \/\/ walked.clear();/' \
  '^FolderWatch\.'
fault snapshot-presence-agrees resources/FileSnapshot.cpp \
  's/if (theirs \&\& (theirs->present != entry.present || theirs->bytes != entry.bytes))/if (theirs \&\& theirs->bytes != entry.bytes)/' \
  '^FileSnapshot\.'
fault snapshot-always-agrees resources/FileSnapshot.cpp \
  '/^bool FileSnapshot::agreesWith/,/^}/s/return false;/return true;/' \
  '^FileSnapshot\.'
# Two that survive, and why: the check reads every file a run reads (the
# same 48 names over the whole sample show), so after the first clean check
# the run has read nothing of its own. Its own reads are compared with the
# disk only for a file the check would miss, and dropping the check's names
# from them saves memory and rereads, not a different picture.
fault watch-ignores-run-reads app/ProductionWatch.cpp \
  's/(!runRead || runRead->matchesDisk())/true/' \
  '^e2e\.live_reload'
fault first-check-keeps-run-reads resources/FileSnapshot.cpp \
  's/^        files.erase(name);/        (void)name;/' \
  '^FileSnapshot\.|^e2e\.live_reload'
# Overlay and import
fault overlay-wrap-at-blank app/OverlayText.cpp \
  's/take = blank > 0 ? blank : room;/take = room;/' \
  '^Overlay\.|^OverlayGL\.'
fault glb-is-gltf tools/vpimport/ViewConversion.cpp \
  's/halfCones(extension == "gltf" || extension == "glb")/halfCones(extension == "gltf")/' \
  '^ModelImport\.GltfCamera'

if [ "${1:-}" = -l ]; then
  for i in "${!NAMES[@]}"; do printf '%-30s %-34s %s\n' "${NAMES[$i]}" "${FILES[$i]}" "${TESTS[$i]}"; done
  exit 0
fi
only=${1:-.}

SCRATCH=$(mktemp -d)
FAULTED="" # the file now holding a fault, put back on any exit
restore() {
  if [ -n "$FAULTED" ]; then
    # Written over, not moved back: its time is now, so the build after
    # this compiles the sound file again instead of keeping the faulty object.
    cat "$SCRATCH/original" >"$FAULTED"
    FAULTED=""
  fi
}
trap 'restore; rm -rf "$SCRATCH"' EXIT
trap 'echo "interrupted: the faulted file is put back" >&2; exit 130' INT TERM

export CCACHE_CONFIGPATH=${CCACHE_CONFIGPATH:-/work/ccache.conf}
caught=0 survived=0 other=0
rows=()
# Each result is said as it comes, and again in the table at the end.
row() { rows+=("$1"); echo "-- $1" >&2; }
for i in "${!NAMES[@]}"; do
  name=${NAMES[$i]} file=${FILES[$i]} expr=${EXPRS[$i]} tests=${TESTS[$i]}
  [[ $name =~ $only ]] || continue
  if ! git diff --quiet HEAD -- "$file"; then
    row "$(printf '%-30s %-9s %s' "$name" refused "$file has uncommitted changes")"
    other=$((other + 1))
    continue
  fi
  count=$(ctest --test-dir "$BUILD_DIR" -N -R "$tests" | sed -n 's/^Total Tests: //p')
  if [ "${count:-0}" -eq 0 ]; then
    row "$(printf '%-30s %-9s %s' "$name" no-tests "nothing matches $tests")"
    other=$((other + 1))
    continue
  fi
  cp "$file" "$SCRATCH/original"
  FAULTED=$file
  sed -i -e "$expr" "$file"
  if cmp -s "$file" "$SCRATCH/original"; then
    restore
    row "$(printf '%-30s %-9s %s' "$name" unapplied "the expression changes nothing in $file")"
    other=$((other + 1))
    continue
  fi
  echo "== $name: $(diff "$SCRATCH/original" "$file" | grep '^>' | sed 's/^> *//')" >&2
  if ! cmake --build "$BUILD_DIR" >"$SCRATCH/build.log" 2>&1; then
    restore
    row "$(printf '%-30s %-9s %s' "$name" no-build "the fault does not compile")"
    other=$((other + 1))
    continue
  fi
  if scripts/with-display.sh ctest --test-dir "$BUILD_DIR" -R "$tests" --timeout 600 >"$SCRATCH/tests.log" 2>&1; then
    verdict=SURVIVED survived=$((survived + 1))
  else
    verdict=caught caught=$((caught + 1))
  fi
  failing=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) .*/\1/p' "$SCRATCH/tests.log" | tr '\n' ' ')
  restore
  row "$(printf '%-30s %-9s %s tests%s' "$name" "$verdict" "$count" "${failing:+; failed: $failing}")"
done

# Back to the sound build.
cmake --build "$BUILD_DIR" >/dev/null 2>&1 || echo "warning: the build after the faults failed" >&2
printf '%-30s %-9s %s\n' FAULT RESULT TESTS
printf '%s\n' "${rows[@]}"
echo "caught $caught, survived $survived, not run $other"
