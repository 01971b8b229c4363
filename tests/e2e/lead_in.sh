# A script that starts before demo time 0 (DEMOSTART -2000) plays its
# lead-in: the music starts at its own beginning when the run does, and demo
# time rises from -2000 through 0 in even steps, under both clocks. The
# player's clock trace notes the wall time and demo time of every frame and
# of the music's start; the sound goes to SDL's disk driver.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir

export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$WORK/heard.raw"
mkdir -p show/data
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" show/
cat > show/data/testscript.scr <<'SCR'
DEMOSTART -2000
SETUP
TIMELINE
1000 END_DEMO
SCR

for clock in timer music; do
  VP_CLOCK_TRACE="$WORK/trace-$clock.txt" run_player --windowed --resolution 160x120 --data-dir show --loose \
    --clock $clock
  expect_rc 0
  # Every frame's demo time, counted from the music's start, against the
  # wall time since then: never ahead by more than the clock's steering (5 %)
  # allows, never back. A skipped lead-in, or a clock that takes the music's
  # own position for demo time, is seconds ahead.
  report=$(awk -v clock=$clock '
    function bad(text) { print text; failed = 1; exit 1 }
    $1 == "music" { if (started) bad("the music started twice"); started = 1; mw = $2; mt = $3; next }
    $1 == "frame" {
      if (!started) bad("a frame before the music started")
      ahead = ($3 - mt) - ($2 - mw) / 1e6 * 1.05
      if (ahead > 50) bad(sprintf("demo time %d is %.0f ms ahead of the wall clock", $3, ahead))
      if (frames && $3 < last) bad(sprintf("demo time went back from %d to %d", last, $3))
      if (!frames) first = $3
      if (frames && $3 - last > step) step = $3 - last
      last = $3; frames++
    }
    END {
      if (failed) exit 1
      if (mt != -2000) bad(sprintf("the music started at demo time %d", mt))
      if (last < 1000) bad(sprintf("the last frame is at %d, before the end event", last))
      printf "%s clock: %d frames, first at %d ms, largest step %d ms\n", clock, frames, first, step
    }' "$WORK/trace-$clock.txt") || fail "$clock clock: $report"
  echo "$report"
done
echo ok
