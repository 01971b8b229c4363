# A production of its own names its title, soundtrack, archive and password
# in production.ini, or on the command line, which wins; the window shows the
# title and the soundtrack named is heard. A faulty production.ini names its
# file and line, and nothing starts.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$WORK/heard.raw"

mkdir -p show/data
cat > show/data/testscript.scr <<'SCR'
SETUP
TIMELINE
100000 END_DEMO
SCR
(cd show && "$VP_BUILD_DIR/vpdpack" a pack.vpd data -p sesame >/dev/null) || fail "cannot pack"
rm -r show/data
# The soundtrack named is a 440 Hz tone; the sample's, under the name a
# production without names plays, lies beside it and must not be heard.
sox -q -n -r 44100 -c 2 show/tune.ogg synth 60 sine 440 vol 0.5 || fail "sox"
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" show/
cat > show/production.ini <<'INI'
# names of this production
title = Small Hours
music = tune.ogg
archive = pack.vpd
password = sesame
INI

start_player --windowed --resolution 160x120 --data-dir show
wait_window "Small Hours"
wait_until "hears 440" 120 "tune.ogg heard"
quit_with_escape
expect_rc 0

start_player --windowed --resolution 160x120 --data-dir show --no-music --title "Late Hours"
wait_window "Late Hours"
quit_with_escape
expect_rc 0

# The command line's password wins over the file's, and a wrong one is named
# as the option that gave it.
run_player --windowed --resolution 160x120 --data-dir show --no-music --password wrong
expect_rc 1
expect_stderr_line "error: the password is probably wrong (--password): data/testscript.scr in pack.vpd does not decrypt"

printf 'title = Small Hours\ncolour = blue\n' > show/production.ini
run_player --windowed --resolution 160x120 --data-dir show --no-music
expect_rc 1
[ "$ERR" = "error: production.ini:2: unknown key 'colour' (title, music, archive, password, launcher, fullscreen, resolution or render-target)" ] ||
  fail "unknown key: $ERR"
printf 'render-target = huge\n' > show/production.ini
run_player --windowed --resolution 160x120 --data-dir show --no-music
expect_rc 1
[ "$ERR" = "error: production.ini:1: bad render-target 'huge' (a side in pixels, 16 to 16384, or window)" ] ||
  fail "bad render-target: $ERR"
echo ok
