#!/usr/bin/env bash
# Measures how far the picture drifts from the sound over a whole run of the
# production, for each demo clock, with a stall of the whole process (SIGSTOP
# for STALL_MS, default 500) in the middle of the run.
#   scripts/measure-drift.sh [build/vplayer] [build/production]
# The sound goes through SDL's disk driver: the file it writes is what was
# heard, one mix buffer (1024 frames, 4096 bytes) at a time, at the pace of
# playback. A poller notes when the file grows; the player notes the demo
# time of every frame (VP_CLOCK_TRACE). For every buffer written, the sound's
# position is the music time of the buffer's first sample, and the picture's
# is the demo time at that moment, between the frames around it.
set -euo pipefail
cd "$(dirname "$0")/.."
VPLAYER=$(realpath "${1:-build/vplayer}")
PRODUCTION=$(realpath "${2:-build/production}")
export STALL_MS=${STALL_MS:-500}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "$PRODUCTION"/*; do ln -s "$f" "$work/"; done
cd "$work"
export VPLAYER VP_NO_DIALOGS=1
exec python3 - "$@" <<'PY'
import os, signal, subprocess, sys, time, bisect

vplayer = os.environ["VPLAYER"]
stall = int(os.environ["STALL_MS"]) / 1000.0
BYTES_PER_MS = 44100 * 4 / 1000.0
BUFFER = 4096

def run(clock):
    for f in ("heard.raw", "trace.txt"):
        if os.path.exists(f):
            os.remove(f)
    env = dict(os.environ, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE="heard.raw", VP_CLOCK_TRACE="trace.txt")
    p = subprocess.Popen([vplayer, "--windowed", "--resolution", "320x240", "--clock", clock],
                         env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    growth = []  # (wall ns, size) when the file was seen to grow
    last = -1
    begun = None
    stalled = False
    stall_at = 0
    while p.poll() is None:
        try:
            size = os.stat("heard.raw").st_size
        except FileNotFoundError:
            size = 0
        now = time.time_ns()
        if size != last:
            growth.append((now, size))
            last = size
        if begun is None and size > 0:
            begun = now
        # The stall: about the middle of the 111 s production (the sound
        # output opens a few seconds before the music starts).
        if not stalled and begun is not None and now - begun > 60e9:
            stall_at = now
            p.send_signal(signal.SIGSTOP)
            time.sleep(stall)
            p.send_signal(signal.SIGCONT)
            stalled = True
        time.sleep(0.001)
    stall_wall = stall_at
    music_wall, music_ms, frames = None, None, []
    for line in open("trace.txt"):
        kind, wall, ms = line.split()
        if kind == "music" and music_wall is None:
            music_wall, music_ms = int(wall), int(ms)
        elif kind == "frame":
            frames.append((int(wall), int(ms)))
    data = open("heard.raw", "rb").read()
    # The music starts with the first sound after the silence mixed while loading.
    start_size = max(s for w, s in growth if w <= music_wall) if any(w <= music_wall for w, _ in growth) else 0
    b0 = max(0, start_size - 2 * BUFFER)
    while b0 + 1 < len(data) and data[b0] == 0 and data[b0 + 1] == 0:
        b0 += 2
    b0 -= b0 % 4
    fw = [w for w, _ in frames]
    stall_music_ms = music_ms + (stall_wall - music_wall) / 1e6
    steps = sorted(frames[i + 1][1] - frames[i][1] for i in range(len(frames) - 1) if frames[i + 1][1] > frames[i][1])
    rows = []
    for w, size in growth:
        if size - BUFFER < b0 or w < fw[0] or w > fw[-1]:
            continue
        heard = music_ms + (size - BUFFER - b0) / BYTES_PER_MS
        i = bisect.bisect_right(fw, w) - 1
        if i + 1 >= len(frames):
            continue
        (w0, d0), (w1, d1) = frames[i], frames[i + 1]
        picture = d0 + (d1 - d0) * (w - w0) / (w1 - w0) if w1 > w0 else d0
        rows.append((heard, picture - heard))
    def mean(a, b):
        v = [d for h, d in rows if a <= h < b]
        return sum(v) / len(v) if v else float("nan")
    print(f"clock {clock}: {len(frames)} frames, median frame step {steps[len(steps)//2]} ms; picture minus sound:")
    print(f"  0-10 s {mean(0, 10000):+.1f} ms, 40-50 s {mean(40000, 50000):+.1f} ms, "
          f"70-80 s {mean(70000, 80000):+.1f} ms, 100-110 s {mean(100000, 110000):+.1f} ms, "
          f"worst after 5 s {max((abs(d) for h, d in rows if h > 5000), default=float('nan')):.1f} ms")
    late = sorted((abs(d), h) for h, d in rows if h > 5000)
    if late:
        print(f"  99 % of buffers within {late[int(len(late) * 0.99)][0]:.1f} ms; worst at music time "
              f"{late[-1][1] / 1000:.1f} s; stall at about {stall_music_ms / 1000:.1f} s")
    return rows

for clock in ("timer", "music"):
    run(clock)
PY
