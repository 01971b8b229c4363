# Soak: the production restarted 100 times (Ctrl+Shift) and rebuilt 20 times
# (Ctrl+Home) at varied moments, then ended with Escape. After the last
# rebuild the process holds what it held after the third (by then the
# allocator has reached its working size): resident memory
# within a small bound, the same live GL textures, framebuffers and shared
# contexts. No frame takes more than three times the median of its segment,
# except beside a rebuild (see the frame rule below).
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

LOG=vp_log_starts.txt
starts() { [ -f $LOG ] && wc -l < $LOG || echo 0; }
wait_starts() {
  for _ in $(seq 1 600); do
    [ "$(starts)" -ge "$1" ] && return 0
    kill -0 "$PID" 2>/dev/null || fail "player ended: $(cat "$ERRFILE")"
    sleep 0.05
  done
  fail "expected $1 starts, saw $(starts): $(cat "$ERRFILE")"
}
hold() {
  xdotool windowfocus --sync "$WID" >/dev/null 2>&1 || true
  xdotool keydown "$@"
  sleep 0.4
  # shellcheck disable=SC2046
  xdotool keyup $(printf '%s\n' "$@" | tac)
}

start_player --windowed --no-music --resolution 320x240 --log
wait_window
wait_starts 1
RANDOM=7 # the same varied moments on every run
n=1
# Keys pressed and released within one frame never reach it (the first frame
# after a start can be slow): a press that did not take is pressed again.
press_until_start() {
  for _ in $(seq 1 10); do
    hold "$@"
    for _ in $(seq 1 40); do
      [ "$(starts)" -ge "$n" ] && return 0
      kill -0 "$PID" 2>/dev/null || fail "player ended: $(cat "$ERRFILE") $(cat $LOG)"
      sleep 0.05
    done
  done
  fail "$* did not start again: $(cat $LOG)"
}
for i in $(seq 1 120); do
  sleep "0.$((RANDOM % 6))$((RANDOM % 10))"
  n=$((n + 1))
  if [ $((i % 6)) -eq 0 ]; then press_until_start ctrl Home; else press_until_start ctrl shift; fi
done
quit_with_escape
expect_rc 0

# start N reload R rss_kb K textures T framebuffers F contexts C frames n median_ms m worst_ms w
awk '
  $4 == 1 { reloads++; if (reloads == 4) { rss = $6; tex = $8; fbo = $10; ctx = $12 } last = $0; lrss = $6; ltex = $8; lfbo = $10; lctx = $12 }
  # Frames of the segment before this start. A rebuild puts every texture
  # and scene to its first use and its key frame tears the demo down, so the
  # segments on either side of one may be slow: reported only. In the
  # segments between restarts a frame over three times the median (and over
  # 40 ms, so that a near-empty segment does not count a millisecond) is a
  # stall; a single one in a hundred segments is what a busy shared machine
  # does to any process, more fail the soak. A frame over a second always does.
  NR > 1 && $14 >= 10 && $18 > 3 * $16 && $18 > 40 {
    if (afterRebuild || $4 == 1) printf "slow frame beside a rebuild, line %d: %s\n", NR, $0
    else { printf "slow frame before line %d: %s\n", NR, $0; slow++ }
  }
  NR > 1 && $18 > 1000 { printf "hang before line %d: %s\n", NR, $0; bad = 1 }
  { afterRebuild = $4 == 1 }
  END {
    if (reloads != 21) { printf "%d rebuilds logged, expected 21\n", reloads; bad = 1 }
    if (slow > 1) { printf "%d restart segments with a stalled frame\n", slow; bad = 1 }
    printf "after the third rebuild: rss %d KiB, %d textures, %d framebuffers, %d contexts\n", rss, tex, fbo, ctx
    printf "after the last rebuild:  rss %d KiB, %d textures, %d framebuffers, %d contexts\n", lrss, ltex, lfbo, lctx
    if (ltex != tex || lfbo != fbo || lctx != ctx) { print "GL objects grew"; bad = 1 }
    if (lrss > rss + 16384) { print "resident memory grew by more than 16 MiB"; bad = 1 }
    exit bad
  }' $LOG || fail "soak: $(cat $LOG)"
echo ok
