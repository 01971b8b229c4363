# The soundtrack's failures and the music switch: without music no sound
# device is opened at all (SDL's disk driver would create its file); a
# missing or unreadable music file and a missing sound device are fatal with
# their texts.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display

export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$WORK/heard.raw"

# Escape is taken by the first frame, after the point where the sound opens.
start_player --windowed --no-music --resolution 320x240
wait_window
quit_with_escape
expect_rc 0
[ ! -e heard.raw ] || fail "the sound device was opened with music off"

# With music on the same run opens the device and writes what is heard.
start_player --windowed --resolution 320x240
wait_window
wait_until "[ -s heard.raw ]" 60 "nothing was heard with music on"
quit_with_escape
expect_rc 0
rm -f heard.raw

# The music file is read from the working folder: take it away, then
# replace it with files that are not Ogg Vorbis.
rm velmorprocess-zqfinal.ogg
run_player --windowed --resolution 320x240
expect_rc 1
expect_stderr_line "error: could not set up music"

: >velmorprocess-zqfinal.ogg
run_player --windowed --resolution 320x240
expect_rc 1
expect_stderr_line "error: could not set up music"

printf 'these are not the sounds you are looking for\n' >velmorprocess-zqfinal.ogg
run_player --windowed --resolution 320x240
expect_rc 1
expect_stderr_line "error: could not set up music"

# A damaged first page: the capture pattern is gone.
{ printf 'XggS'; tail -c +5 "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg"; } >velmorprocess-zqfinal.ogg
run_player --windowed --resolution 320x240
expect_rc 1
expect_stderr_line "error: could not set up music"

# No sound device at all.
ln -sf "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" velmorprocess-zqfinal.ogg
SDL_AUDIODRIVER=no-such-driver run_player --windowed --resolution 320x240
expect_rc 1
expect_stderr_line "error: could not init sound (--no-music plays without sound; --audio-driver dummy keeps the music's clock without a sound device)"
echo ok
