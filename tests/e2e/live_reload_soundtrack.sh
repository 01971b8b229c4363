# --watch: a soundtrack exported anew in place while the show plays (here
# through a link to the exporter's file) is opened afresh and heard from the
# time shown; the next start (Page Up) plays it, where the stream opened
# first would read the new bytes through the old file's index, fail its seek
# and end the run.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$WORK/heard.raw"
mkdir -p show/data
cat > show/data/testscript.scr <<SCR
SETUP
0 SET_LAYER 0 0
TIMELINE
1 START 0
600000 END_DEMO
SCR
# The first export: 440 Hz at 44.1 kHz stereo; the second another layout
# and length, so that its pages lie elsewhere. The production links to the
# exporter's file, as a working folder links to the production's.
mkdir export
sox -q -n -r 44100 -c 2 export/song.ogg synth 60 sine 440 vol 0.5 || fail "sox"
ln -s ../export/song.ogg show/velmorprocess-zqfinal.ogg
sox -q -n -r 22050 -c 1 second.ogg synth 90 sine 880 vol 0.5 || fail "sox"

start_player --windowed --resolution 320x240 --data-dir show --loose --watch --start 5000
wait_window
wait_stdout '^watching data$' 1
wait_until "hears 440" 120 "the first export heard"

# Written over in place, as an exporter does.
cat second.ogg > export/song.ogg
wait_stdout '^soundtrack reloaded at [0-9]+ ms$' 1
wait_until "hears 880" 120 "the new export heard"

# The next start: Page Up builds the demo again and starts the music there.
press Page_Up
wait_stdout '^seek to [0-9]+ ms$' 1
played=$(heard_bytes)
wait_until "[ \$(heard_bytes) -gt $((played + 4 * 176400)) ] && hears 880" 120 "the new export heard after Page Up"
quit_with_escape
expect_rc 0
# The disk driver says it writes a file; the player says nothing.
! grep -v '^CRITICAL: \|^INFO: ' "$ERRFILE" | grep -q . || fail "messages on stderr: $ERR"
echo ok
