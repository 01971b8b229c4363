# Choosing the sound driver. --audio-driver names the only driver tried, over
# SDL_AUDIODRIVER; a driver that cannot be opened is then fatal, and the
# message names --no-music. Without a choice the player searches the drivers
# SDL offers: with no PipeWire or PulseAudio server it plays through ALSA
# (here an ALSA configuration whose default device discards the sound), and
# only when no driver opens is it fatal.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
unset SDL_AUDIODRIVER
export SDL_DISKAUDIOFILE="$WORK/heard.raw"
# No sound server is reachable from the test, whatever the machine runs.
export PULSE_SERVER=unix:/nonexistent XDG_RUNTIME_DIR="$WORK/runtime" PIPEWIRE_REMOTE=nonexistent
mkdir -m 700 runtime

FATAL="error: could not init sound (--no-music plays without sound; --audio-driver dummy keeps the music's clock without a sound device)"

# Named: the disk driver, though the environment names another.
SDL_AUDIODRIVER=no-such-driver start_player --windowed --resolution 320x240 --audio-driver disk
wait_window
wait_until "[ -s heard.raw ]" 60 "--audio-driver disk wrote no sound"
quit_with_escape
expect_rc 0

run_player --windowed --resolution 320x240 --audio-driver no-such-driver
expect_rc 1
expect_stderr_line "$FATAL"
[ "$(printf '%s\n' "$ERR" | grep -c '^error: ')" -eq 1 ] || fail "more than one error: $ERR"

# No choice: found through ALSA.
printf 'pcm.!default { type null }\n' >alsa-null.conf
ALSA_CONFIG_PATH="$WORK/alsa-null.conf" start_player --windowed --resolution 320x240
wait_window
quit_with_escape
expect_rc 0

# No choice and no driver that opens: fatal, and the disk driver, which is
# never heard, was not among those tried.
rm -f heard.raw
printf 'pcm.!default { type hw card 42 }\n' >alsa-none.conf
ALSA_CONFIG_PATH="$WORK/alsa-none.conf" run_player --windowed --resolution 320x240
expect_rc 1
expect_stderr_line "$FATAL"
[ ! -e heard.raw ] || fail "the disk driver was tried"
echo ok
