# Soak: the production restarted 100 times (Ctrl+Shift) and rebuilt 20 times
# (Ctrl+Home) at varied moments after 5 s, then ended with Escape. From the third
# rebuild on the process holds the same live GL textures, framebuffers,
# renderbuffers, occlusion queries and shared contexts, and its resident memory does not grow from rebuild to
# rebuild: a leak shows in every step, while the allocator may take one
# larger step at any time as it settles (the median step is judged, and the
# whole growth within a wide bound). No frame hangs (over 5 s). The frame times of each segment are reported, not
# judged: they say how busy the machine was as much as how the player did.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

LOG=vp_log_starts.txt
starts() { [ -f $LOG ] && wc -l < $LOG || echo 0; }
wait_starts() { wait_until "[ \$(starts) -ge $1 ]" 120 "start $1 in $LOG"; }

# From the opening hall on, whose lamps' flares count their pixels with
# occlusion queries (in the render target's context).
start_player --windowed --no-music --resolution 320x240 --log --start 5000
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

# start N reload R rss_kb K textures T framebuffers F renderbuffers B queries Q contexts C frames n median_ms m worst_ms w
awk '
  { for (i = 1; i < NF; i += 2) v[$i] = $(i + 1) }
  v["reload"] == 1 {
    reloads++
    if (reloads == 4) { rss = v["rss_kb"]; for (k in kinds) first[k] = v[k] }
    if (reloads > 4) step[++steps] = v["rss_kb"] - lrss
    lrss = v["rss_kb"]
    for (k in kinds) last[k] = v[k]
  }
  v["queries"] > mostQueries { mostQueries = v["queries"] }
  # The frames of the segment before this start: a report only.
  NR > 1 && v["frames"] > 0 {
    slow = v["worst_ms"] > 3 * v["median_ms"] && v["worst_ms"] > 40
    printf "segment %3d%s: %4d frames, median %6.2f ms, worst %7.2f ms%s\n", NR - 1, v["reload"] == 1 ? " (rebuilt after)" : "", v["frames"], v["median_ms"], v["worst_ms"], slow ? "  slow frame" : ""
    slowSegments += slow
    if (v["worst_ms"] > worst) worst = v["worst_ms"]
  }
  NR > 1 && v["worst_ms"] > 5000 { printf "hang before line %d: %s\n", NR, $0; bad = 1 }
  BEGIN { split("textures framebuffers renderbuffers queries contexts", names); for (i in names) kinds[names[i]] = 1 }
  END {
    if (reloads != 21) { printf "%d rebuilds logged, expected 21\n", reloads; bad = 1 }
    printf "worst frame %.2f ms; %d segments with a frame over three times their median\n", worst, slowSegments
    for (i = 1; i <= 5; i++) {
      k = names[i]
      printf "%-14s after the third rebuild %5d, after the last %5d\n", k, first[k], last[k]
      if (first[k] == "" || first[k] < 0) { printf "no count of live %s\n", k; bad = 1 }
      else if (last[k] != first[k]) { printf "live %s changed\n", k; bad = 1 }
    }
    # Flares drawn between two starts leave their queries alive: without any,
    # the count proves nothing.
    if (mostQueries <= 0) { print "no occlusion query ever counted"; bad = 1 }
    for (i = 2; i <= steps; i++)
      for (j = i; j > 1 && step[j - 1] > step[j]; j--) { t = step[j]; step[j] = step[j - 1]; step[j - 1] = t }
    median = steps ? step[int((steps + 1) / 2)] : 0
    printf "resident memory from rebuild to rebuild: median step %d KiB (%d KiB after the third, %d after the last)\n", median, rss, lrss
    if (median > 256) { print "resident memory grows with every rebuild"; bad = 1 }
    if (lrss > rss + 65536) { print "resident memory grew by more than 64 MiB"; bad = 1 }
    exit bad
  }' $LOG || fail "soak: $(cat $LOG)"
echo ok
