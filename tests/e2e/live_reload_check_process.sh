# --watch: what starts the check process and how it runs. An editor's swap,
# lock and backup files beside the script start no reload; a soundtrack whose
# name starts with a dash is checked as a file, not taken for an option; a
# broken production.ini fails the reload with its message, and its fix loads.
# The data folder replaced by a copy, as export scripts do, is watched still.
# The run may show boxes here, its check may not: where the display can show
# one (not every X server has the fonts), a box would hold the watch.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
make_workdir
start_private_display
mkdir -p show/data
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" show/-track.ogg
printf 'music = -track.ogg\n' >show/production.ini
write_script() {
  printf 'SETUP\n0 SET_LAYER 0 0\nTIMELINE\n1 START 0\n1 SIGNAL 0 200 %s\n600000 END_DEMO\n' "$1" >show/data/new.scr
  mv show/data/new.scr show/data/testscript.scr
}
colour() { convert "$SHOT" -format '%[fx:int(255*p{8,8}.r)],%[fx:int(255*p{8,8}.g)],%[fx:int(255*p{8,8}.b)]' info:; }
reloads() { stdout_lines '^reload (failed )?at [0-9]+ ms$'; }
write_script "0 255 0"

unset VP_NO_DIALOGS
start_player --windowed --resolution 320x240 --audio-driver dummy --data-dir show --loose --watch
wait_window
wait_stdout '^watching data$' 1

# What vim and emacs leave beside a file while it is edited, and a save of
# the same bytes; then the screenshot's round trip leaves time for a reload
# that should not come.
: >show/data/.testscript.scr.swp
: >show/data/4913
: >show/data/testscript.scr~
: >'show/data/#testscript.scr#'
ln -s user@host.1234 'show/data/.#testscript.scr'
cp show/data/testscript.scr show/data/same.scr && mv show/data/same.scr show/data/testscript.scr
SHOT_DIR=show screenshot
[ "$(colour)" = "0,255,0" ] || fail "before the edit: $(colour)"
write_script "255 0 0"
wait_stdout '^reload at [0-9]+ ms$' 1
SHOT_DIR=show screenshot
[ "$(colour)" = "255,0,0" ] || fail "the edit is not shown: $(colour)"
[ "$(reloads)" -eq 1 ] || fail "editor files reloaded the show: $(cat "$OUTFILE")"

printf 'colour = blue\n' >show/production.ini
write_script "0 0 255"
wait_stdout '^reload failed at [0-9]+ ms$' 1
grep -qxF "error: production.ini:1: unknown key 'colour' (title, music, archive, password, launcher, fullscreen, resolution or render-target)" "$ERRFILE" ||
  fail "the broken production.ini is not listed: $(cat "$ERRFILE")"
printf 'music = -track.ogg\n' >show/production.ini
write_script "255 255 0"
wait_stdout '^reload at [0-9]+ ms$' 2
SHOT_DIR=show screenshot
[ "$(colour)" = "255,255,0" ] || fail "the fix is not shown: $(colour)"

mv show/data show/data.old && cp -r show/data.old show/data
write_script "0 255 255"
wait_stdout '^reload at [0-9]+ ms$' 3
SHOT_DIR=show screenshot
[ "$(colour)" = "0,255,255" ] || fail "the edit in the new folder is not shown: $(colour)"
quit_with_escape
expect_rc 0
