# The live controls in the real player, each seen to act on the picture. A
# small show: a plain background, the production's shadow stage (two
# cameras, shadow maps on) under control of the key controller, and the ANSI
# filter over it with the stage as its source, not running. Once H has paused
# the stage, its picture depends only on the keys: N takes the next camera
# (two presses come back), the arrows skip its clock (Right then Left come
# back), Up and Down change their step (seven of each between a Right and a
# Left come out 20 ms ahead, where one plain Right went), S toggles its
# shadow maps, 2 runs the filter and makes it the target, whose keys then
# reach its source, and 0 stops all but the background. A second run on the
# projector stage sees P switch the projector off and on. The GL error state
# is read after every effect; Escape ends each run with nothing on stderr.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
mkdir -p show/data
for f in "$VP_PRODUCTION_DIR"/data/*; do
  case "$f" in */testscript.scr) ;; *) ln -s "$f" show/data/ ;; esac
done
cat > show/data/testscript.scr <<'SCR'
SETUP
0 SET_LAYER 0 0
0 SET_LAYER 1 1
0 SIGNAL 1 70 25
0 SET_LAYER 25 2
0 SIGNAL 25 50 data/shadow.vsc
0 SIGNAL 25 304 1
0 SET_LAYER 40 3
0 SIGNAL 40 70 25
TIMELINE
1 START 0
1 SIGNAL 0 200 40 40 60
1 START 1
1 START 25
1 INIT 25
1 SIGNAL 25 310 1
600000 END_DEMO
SCR
SHOT_DIR=show

same() { same_picture "$1" "$2" || fail "$3 ($("$GOLDEN_COMPARE" --same "$1" "$2"))"; }
other() { ! same_picture "$1" "$2" || fail "$3"; }
# A picture after the keys $2..., kept as $1.png: the frame that reads the
# keys draws the stage before it reads them (into its render target), so the
# picture is taken from the frame after.
after() {
  [ $# -gt 1 ] && press "${@:2}"
  screenshot
  screenshot
  cp "$SHOT" "$1.png"
}
# Arrows act on every frame they are down in: each is tapped so that its
# press and release arrive together and one frame sees it.
tap() { "$XSEND" "$WID" "$1"; }
# Up and Down act once a press: each press gets a frame of its own.
repeat() { for _ in $(seq 1 "$2"); do after step "$1"; done; }
start_run() {
  start_player --check-gl --windowed --no-music --resolution 320x240 --data-dir show --loose
  wait_window
}

start_run
after moving1
after moving2
other moving1.png moving2.png "the stage does not move before H"
after paused h
after still
same paused.png still.png "H did not hold the stage"

after camera2 n
other paused.png camera2.png "N did not change the camera"
after camera1 n
same paused.png camera1.png "two presses of N did not come back to the first camera"

tap Right
after ahead
other paused.png ahead.png "Right did not skip the stage's clock"
tap Left
after back
same paused.png back.png "Left did not skip back by the same step"

# 20 ms x 1.1^7 skips 38 ms ahead, then x 0.9^7 (18.6) 18 ms back.
repeat Up 7
tap Right
repeat Down 7
tap Left
after stepped
same ahead.png stepped.png "Up and Down did not change the step as expected"
# From here on the stage stands 20 ms ahead.
after unshadowed s
other ahead.png unshadowed.png "S did not switch the shadow maps off"
after shadowed s
same ahead.png shadowed.png "S did not switch the shadow maps back on"

after filtered 2
other ahead.png filtered.png "2 did not start the filter"
after unfiltered 2
same ahead.png unfiltered.png "2 did not stop the filter"
after source2 n
other ahead.png source2.png "N after 2 did not reach the filter's source"
after source1 n

after essentials 0
[ "$(identify -format %k essentials.png)" = 1 ] || fail "0 left more than the background"

quit_quietly

# P toggles the projector's picture on the production's projector stage.
cat > show/data/testscript.scr <<'SCR'
SETUP
0 SET_LAYER 0 0
0 SET_LAYER 1 1
0 SIGNAL 1 70 26
0 SET_LAYER 26 2
0 SIGNAL 26 50 data/projector.vsc
0 SIGNAL 26 304 1
0 SIGNAL 26 311 1
TIMELINE
1 START 0
1 START 1
1 START 26
1 INIT 26
600000 END_DEMO
SCR
start_run
# The controller starts at 1 ms: a key read by an earlier frame (one tapped
# as the window appears) reaches nobody, so H waits for a drawn picture.
after running
after projected h
after unprojected p
other projected.png unprojected.png "P did not switch the projector off"
after reprojected p
same projected.png reprojected.png "P did not switch the projector back on"
quit_quietly
echo ok
