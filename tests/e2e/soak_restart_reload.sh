# Soak: the production restarted 100 times (Ctrl+Shift) and rebuilt 20 times
# (Ctrl+Home) at varied moments, then ended with Escape. From the third
# rebuild on the process holds the same live GL textures, framebuffers and
# shared contexts, and its resident memory does not grow from rebuild to
# rebuild: a leak shows in every step, while the allocator may take one
# larger step at any time as it settles (the median step is judged, and the
# whole growth within a wide bound). No frame hangs (over 5 s). The frame times of each segment are reported, not
# judged: they say how busy the machine was as much as how the player did.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

LOG=vp_log_starts.txt
starts() { [ -f $LOG ] && wc -l < $LOG || echo 0; }
wait_starts() { wait_until "[ \$(starts) -ge $1 ]" 120 "start $1 in $LOG"; }

start_player --windowed --no-music --resolution 320x240 --log
wait_window
wait_starts 1
RANDOM=7 # the same varied moments on every run
n=1
# Each press comes once the start before it is logged (its keys cleared).
for i in $(seq 1 120); do
  sleep "0.$((RANDOM % 6))$((RANDOM % 10))" # a varied moment within the start, not a wait for it
  n=$((n + 1))
  if [ $((i % 6)) -eq 0 ]; then press ctrl+Home; else press ctrl+shift; fi
  wait_starts $n
done
quit_with_escape
expect_rc 0

# start N reload R rss_kb K textures T framebuffers F contexts C frames n median_ms m worst_ms w
awk '
  $4 == 1 {
    reloads++
    if (reloads == 4) { rss = $6; tex = $8; fbo = $10; ctx = $12 }
    if (reloads > 4) step[++steps] = $6 - lrss
    lrss = $6; ltex = $8; lfbo = $10; lctx = $12
  }
  # The frames of the segment before this start: a report only.
  NR > 1 && $14 > 0 {
    slow = $18 > 3 * $16 && $18 > 40
    printf "segment %3d%s: %4d frames, median %6.2f ms, worst %7.2f ms%s\n", NR - 1, $4 == 1 ? " (rebuilt after)" : "", $14, $16, $18, slow ? "  slow frame" : ""
    slowSegments += slow
    if ($18 > worst) worst = $18
  }
  NR > 1 && $18 > 5000 { printf "hang before line %d: %s\n", NR, $0; bad = 1 }
  END {
    if (reloads != 21) { printf "%d rebuilds logged, expected 21\n", reloads; bad = 1 }
    printf "worst frame %.2f ms; %d segments with a frame over three times their median\n", worst, slowSegments
    printf "after the third rebuild: rss %d KiB, %d textures, %d framebuffers, %d contexts\n", rss, tex, fbo, ctx
    printf "after the last rebuild:  rss %d KiB, %d textures, %d framebuffers, %d contexts\n", lrss, ltex, lfbo, lctx
    if (ltex != tex || lfbo != fbo || lctx != ctx) { print "GL objects grew"; bad = 1 }
    for (i = 2; i <= steps; i++)
      for (j = i; j > 1 && step[j - 1] > step[j]; j--) { t = step[j]; step[j] = step[j - 1]; step[j - 1] = t }
    median = steps ? step[int((steps + 1) / 2)] : 0
    printf "resident memory from rebuild to rebuild: median step %d KiB\n", median
    if (median > 256) { print "resident memory grows with every rebuild"; bad = 1 }
    if (lrss > rss + 65536) { print "resident memory grew by more than 64 MiB"; bad = 1 }
    exit bad
  }' $LOG || fail "soak: $(cat $LOG)"
echo ok
