#!/usr/bin/env bash
# Measures the sample production (or another one) as a viewer and as a
# capture would see it:
#   - real-time playback in a window without vsync and with the free-running
#     clock: median, p99 and worst frame time for every 10-second section
#     of demo time, for every stretch between two scene changes (frames
#     where an effect on a layer starts or stops), and for the whole show;
#   - the capture ratios: wall time over the production's length for the
#     whole show drawn without being read back (--capture /dev/null), a PNG
#     capture and an MP4 export, and what writing adds over drawing alone;
#   - with --effects, what each effect costs in each section (a capture at
#     the playback size and 10 fps with VP_EFFECT_TIMES: the renderer is
#     waited for around every pass, so these add up to more than a frame).
#
#   scripts/bench-production.sh [--size WxH] [--capture-size WxH] [--fps N]
#                               [--runs N] [--no-capture] [--no-playback] [--no-png] [--effects]
#                               [--render-target SIZE|window]
#                               [--build DIR] [--production DIR]
#
# Defaults: playback at 800x600, captures at 640x480 and 30 fps, one
# playback run (with --runs N the sections take the median over the runs of
# each statistic). Nothing here judges the figures; compare them before and
# after a change, on an otherwise idle machine (the load average is printed).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
SIZE=800x600
CAPTURE_SIZE=640x480
FPS=30
RUNS=1
CAPTURE=1
PNG=1
PLAYBACK=1
EFFECTS=0
BUILD=build
PRODUCTION=
RENDER_TARGET=()
while [ $# -gt 0 ]; do
  case "$1" in
    --size) SIZE=$2; shift 2 ;;
    --capture-size) CAPTURE_SIZE=$2; shift 2 ;;
    --fps) FPS=$2; shift 2 ;;
    --runs) RUNS=$2; shift 2 ;;
    --no-capture) CAPTURE=0; shift ;;
    --no-playback) PLAYBACK=0; shift ;;
    --no-png) PNG=0; shift ;;
    --effects) EFFECTS=1; shift ;;
    --render-target) RENDER_TARGET=(--render-target "$2"); shift 2 ;;
    --build) BUILD=$2; shift 2 ;;
    --production) PRODUCTION=$2; shift 2 ;;
    -h|--help) sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench-production: unknown option '$1' (try --help)" >&2; exit 2 ;;
  esac
done
VPLAYER=$(realpath "$BUILD/vplayer")
PRODUCTION=$(realpath "${PRODUCTION:-$BUILD/production}")
[ -x "$VPLAYER" ] || { echo "bench-production: no player at $VPLAYER (build first)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VP_NO_DIALOGS=1

echo "bench-production: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)," \
     "$(git -C "$ROOT" describe --always --dirty 2>/dev/null || echo '?')"

if [ "$PLAYBACK" = 1 ]; then
  for run in $(seq "$RUNS"); do
    (cd "$PRODUCTION" && VP_CLOCK_TRACE="$work/trace$run.txt" "$ROOT/scripts/with-display.sh" \
       "$VPLAYER" --windowed --resolution "$SIZE" --no-vsync --clock timer --no-music "${RENDER_TARGET[@]}" \
       >"$work/play$run.log" 2>&1) || { cat "$work/play$run.log" >&2; exit 1; }
  done
  echo "playback at $SIZE, no vsync, timer clock ($RUNS run(s)); frame times in ms"
  python3 - "$work" "$RUNS" <<'PY'
import bisect, statistics, sys
work, runs = sys.argv[1], int(sys.argv[2])

def pct(values, p):
    s = sorted(values)
    return s[min(len(s) - 1, int(p / 100.0 * len(s)))]

def stats(times):
    med = statistics.median(times)
    return med, pct(times, 99), max(times), len(times)

per_run = []
for r in range(1, runs + 1):
    lines = [l.split() for l in open(f"{work}/trace{r}.txt")]
    frames = [(int(l[1]), int(l[2])) for l in lines if l[0] == "frame"]
    # Scene changes: the demo times of the frames whose cast differs from
    # the frame before's; the first is the demo start itself.
    changes = [int(l[2]) for l in lines if l[0] == "cast"][1:]
    # A frame's time is the wall time since the frame before it, counted in
    # the section of the demo time it drew, and in its stretch.
    sections, stretches, whole = {}, {}, []
    for (w0, _), (w1, demo) in zip(frames, frames[1:]):
        ms = (w1 - w0) / 1e6
        sections.setdefault(max(demo, 0) // 10000, []).append(ms)
        stretches.setdefault(bisect.bisect_right(changes, demo), []).append(ms)
        whole.append(ms)
    bounds = [frames[0][1]] + changes + [frames[-1][1]]
    per_run.append(({k: stats(v) for k, v in sections.items()}, stats(whole), (frames[-1][0] - frames[0][0]) / 1e9,
                    {k: stats(v) + stats(v[1:] or v)[:2] for k, v in stretches.items()}, bounds))

def combine(rows):
    return tuple(statistics.median(x) for x in zip(*rows))

print(f"{'section':>9} {'frames':>7} {'median':>7} {'p99':>7} {'worst':>7} {'p99/med':>8}")
for k in sorted(set().union(*(run[0] for run in per_run))):
    med, p99, worst, n = combine([run[0][k] for run in per_run if k in run[0]])
    print(f"{k * 10:>4}-{k * 10 + 10:<3}s {n:>7.0f} {med:>7.1f} {p99:>7.1f} {worst:>7.1f} {p99 / med:>8.2f}")
med, p99, worst, n = combine([run[1] for run in per_run])
wall = statistics.median(run[2] for run in per_run)
print(f"{'whole':>9} {n:>7.0f} {med:>7.1f} {p99:>7.1f} {worst:>7.1f} {p99 / med:>8.2f}   {n / wall:.1f} fps")

# The last column leaves out the stretch's first frame, which draws the change.
print("between scene changes (first run's times)")
print(f"{'stretch':>13} {'frames':>7} {'median':>7} {'p99':>7} {'worst':>7} {'p99/med':>8} {'w/o 1st':>8}")
bounds = per_run[0][4]
over = []
for k in sorted(set().union(*(run[3] for run in per_run))):
    med, p99, worst, n, med1, p991 = combine([run[3][k] for run in per_run if k in run[3]])
    span = f"{bounds[k] / 1000:.1f}-{bounds[k + 1] / 1000:.1f}s" if k + 1 < len(bounds) else "?"
    print(f"{span:>13} {n:>7.0f} {med:>7.1f} {p99:>7.1f} {worst:>7.1f} {p99 / med:>8.2f} {p991 / med1:>8.2f}")
    if p99 / med > 2.0:
        over.append(span)
print(f"stretches over p99/median 2.0: {len(over)} of {len(bounds) - 1}" + (f" ({', '.join(over)})" if over else ""))
PY
fi

if [ "$CAPTURE" = 1 ]; then
  capture() { # NAME OUT
    local start end
    start=$(date +%s%N)
    (cd "$PRODUCTION" && VP_CLOCK_TRACE="$work/$1.trace" "$ROOT/scripts/with-display.sh" "$VPLAYER" \
       --capture "$2" --fps "$FPS" --size "$CAPTURE_SIZE" "${RENDER_TARGET[@]}" >"$work/$1.log" 2>&1) \
      || { cat "$work/$1.log" >&2; exit 1; }
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.1f", ns / 1e9 }'
  }
  # Drawn only: the same frames, none read back or written. Its frame count
  # gives the production's length.
  drawn_wall=$(capture drawn /dev/null)
  frames=$(grep -c '^frame' "$work/drawn.trace")
  length=$(awk -v n="$frames" -v f="$FPS" 'BEGIN { printf "%.2f", n / f }')
  echo "capture at $CAPTURE_SIZE, $FPS fps, $frames frames ($length s of demo)"
  report() { # NAME WALL
    awk -v name="$1" -v w="$2" -v d="$drawn_wall" -v l="$length" 'BEGIN {
      printf "  %-10s %6.1f s wall  %5.2f x the length", name, w, w / l
      if (name != "drawn only") printf "  %+5.1f %% over drawing", (w / d - 1) * 100
      printf "\n" }'
  }
  report "drawn only" "$drawn_wall"
  if [ "$PNG" = 1 ]; then
    report PNG "$(capture png "$work/frames")"
    rm -rf "$work/frames"
  fi
  report MP4 "$(capture mp4 "$work/show.mp4")"
fi

if [ "$EFFECTS" = 1 ]; then
  (cd "$PRODUCTION" && VP_EFFECT_TIMES="$work/effects.txt" "$ROOT/scripts/with-display.sh" "$VPLAYER" \
     --capture "$work/effect-frames" --fps 10 --size "$SIZE" "${RENDER_TARGET[@]}" >"$work/effects.log" 2>&1) \
    || { cat "$work/effects.log" >&2; exit 1; }
  echo "effects at $SIZE: ms a frame (preRender+render) for each effect id over 1 ms, by section"
  python3 - "$work/effects.txt" <<'PY'
import sys
frames, cost = {}, {}
for line in open(sys.argv[1]):
    demo, effect, _, ms = line.split()
    section = max(int(demo), 0) // 10000
    frames.setdefault(section, set()).add(int(demo))
    key = (section, int(effect))
    cost[key] = cost.get(key, 0.0) + float(ms)
for section in sorted(frames):
    n = len(frames[section])
    row = sorted(((ms / n, e) for (s, e), ms in cost.items() if s == section), reverse=True)
    print(f"{section * 10:>4}-{section * 10 + 10:<3}s " + "  ".join(f"{e}:{ms:.1f}" for ms, e in row if ms >= 1.0))
PY
fi
