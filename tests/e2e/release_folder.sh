# vpdpack release of a 16:9 production whose soundtrack lies in a
# subfolder and whose data/ holds what an author's tools leave there,
# checked here, without the minimal root that release.sh plays a release in.
# The release goes into a folder whose name holds ':'. Its archive leaves
# out hidden files, backups and swap files (-v says what went in); its
# player finds every shipped library in its own lib/ through the start
# script; the README's organiser commands keep the production's picture; it
# checks its own production when started from a folder holding another. A
# release that fails, its own check included, leaves nothing behind. Every
# library it ships or has built in has its licence notice in licences/.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir
VPDPACK="$VP_BUILD_DIR/vpdpack"

mkdir -p wide/music
cp -r "$VP_PRODUCTION_DIR/data" wide/
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" wide/music/track.ogg
printf 'title = Wide\nresolution = 1920x1080\nmusic = music/track.ogg\n' >wide/production.ini
mkdir -p wide/data/.git
printf '[remote "origin"]\n\turl = git@example.org:group/wide.git\n' >wide/data/.git/config
printf 'swap' >wide/data/.testscript.scr.swp
cp wide/data/testscript.scr wide/data/testscript.scr~

mkdir "party:2026"
"$VPDPACK" release wide "party:2026/wide" -v >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
R="$WORK/party:2026/wide"
[ -f "$R/share/vplayer/music/track.ogg" ] || fail "the soundtrack is not in share/vplayer/music/"
[ -f "$WORK/party:2026/wide.tar.gz" ] || fail "no wide.tar.gz beside the release"
[ "$(tar -tzf "$WORK/party:2026/wide.tar.gz" | head -n1)" = wide/ ] || fail "the tarball's top folder is not wide/"
[ -z "$(ls -A "party:2026" | grep -v -x -e wide -e wide.tar.gz)" ] || fail "left beside the release: $(ls -A "party:2026")"

# What went into the archive, and what stayed out.
grep -qx 'packed data/testscript.scr' out.txt || fail "-v does not list data/testscript.scr: $(cat out.txt)"
for left in data/.git/ data/.testscript.scr.swp 'data/testscript.scr~'; do
  grep -qxF "left out $left" out.txt || fail "-v does not say $left was left out"
done
"$VPDPACK" l "$R/share/vplayer/data.vpd" >members.txt || fail "cannot list the release's archive"
! grep -qiE 'GIT|SWP|~' members.txt || fail "the archive holds an author's leftovers: $(grep -iE 'GIT|SWP|~' members.txt)"

# Every shipped library is loaded from the release's lib/, started as an
# organiser starts it (the dynamic loader names each file it initialises).
LD_DEBUG=libs "$R/start" --windowed --print-args >/dev/null 2>loader.txt || fail "the release does not start: $(tail -n3 loader.txt)"
sed -n 's/.*calling init: //p' loader.txt >loaded.txt
for lib in "$R"/lib/*; do
  name=${lib##*/}
  from=$(grep "/$name\$" loaded.txt | head -n1)
  [ -n "$from" ] || fail "$name was not loaded"
  [ "$(readlink -f "$from")" = "$(readlink -f "$lib")" ] || fail "$name was loaded from $from, not from the release's lib/"
done

# Every library the release ships or has built into its player carries its
# licence notice in licences/: the file that licences/README.txt names on
# the library's line holds the copyright file of the Debian package the
# library comes from. README.txt points to them.
owner() { dpkg-query -S "*${1#/usr}" 2>/dev/null | head -n1 | sed 's/[:,].*//'; }
has_notice() { # the library, its index line's pattern, its file on this system
  local package notice
  [ -n "$3" ] || fail "$1: not a library of the release player here"
  package=$(owner "$3")
  [ -n "$package" ] || fail "no Debian package holds $3"
  notice=$(grep -E "^  $2 " "$R/licences/README.txt" | awk '{print $NF}')
  [ -n "$notice" ] || fail "licences/README.txt does not name the notice of $1"
  cmp -s "/usr/share/doc/$package/copyright" "$R/licences/$notice" ||
    fail "licences/$notice is not the notice of $1 (/usr/share/doc/$package/copyright)"
}
ldd "$VP_BUILD_DIR/vplayer-release" >linked.txt
for lib in "$R"/lib/*; do
  name=${lib##*/}
  has_notice "lib/$name" "lib/${name//./\\.}" "$(sed -n "s|^\t$name => \(/[^ ]*\) .*|\1|p" linked.txt)"
done
[ -n "${VP_STATIC_ARCHIVES:-}" ] || fail "the build names no static archives of the release player"
for archive in $VP_STATIC_ARCHIVES; do
  name=${archive##*/}
  has_notice "$name" ".*\(${name//./\\.}\)" "$archive"
done
grep -q 'notices' "$R/README.txt" && grep -q 'licences/' "$R/README.txt" || fail "README.txt does not point to licences/"

# The organisers' commands in README.txt, as written: an option changes only
# what it names, the picture stays 1920x1080 (the release's default is
# desktop fullscreen).
line="samples=0 anisotropy=0 logging=0 atiShadows=0"
sed -n 's/^  \(\.\/start -[^ ]*\( [0-9]*x[0-9]*\)\?\)  .*/\1/p' "$R/README.txt" | grep -v -e --help >commands.txt
[ "$(wc -l <commands.txt)" -ge 4 ] || fail "README.txt lists too few organiser commands: $(cat commands.txt)"
while read -r command; do
  case "$command" in
    "./start --fullscreen=desktop") want="music=1 fullscreen=0 width=1920 height=1080 $line desktop=1" ;;
    "./start --resolution 1920x1080") want="music=1 fullscreen=0 width=1920 height=1080 $line desktop=1" ;;
    "./start --windowed") want="music=1 fullscreen=0 width=1920 height=1080 $line" ;;
    "./start --no-music") want="music=0 fullscreen=0 width=1920 height=1080 $line desktop=1" ;;
    *) fail "README.txt's '$command' has no expected run here" ;;
  esac
  got=$(cd "$R" && eval "$command --print-args" 2>&1)
  [ "$got" = "$want" ] || fail "$command --print-args: $got"
done <commands.txt

# Started from a folder that holds another production, the release plays
# (and checks) its own.
mkdir -p elsewhere/data
printf 'resolution = 640x480\n' >elsewhere/production.ini
printf 'DEMOSTART 0\nSETUP\nTIMELINE\n100 DANCE 3\n' >elsewhere/data/testscript.scr
(cd elsewhere && "$R/start" --check) >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
got=$(cd elsewhere && "$R/start" --windowed --print-args)
[ "$got" = "music=1 fullscreen=0 width=1920 height=1080 $line" ] || fail "started elsewhere: $got"

# A release that fails on the way leaves nothing behind, so that the next
# try is not refused for a half-made folder: a soundtrack outside the
# production's folder has no place in it, and a release whose archive lacks
# a file the script needs (its name is hidden) fails its own check.
printf 'title = Wide\nmusic = ../outside.ogg\n' >wide/production.ini
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" outside.ogg
mkdir failed
"$VPDPACK" release wide failed/wide >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 1
expect_stderr_line "vpdpack: production.ini names ../outside.ogg, which lies outside the production's folder; a release holds the production's own files only"
[ -z "$(ls -A failed)" ] || fail "a failed release left $(ls -A failed)"

mkdir -p hidden/data
cp -r wide/data/textures hidden/data/
cp wide/data/hall.vsc hidden/data/.hall.vsc
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" hidden/
printf 'DEMOSTART 0\nSETUP\n0 SET_LAYER 20 2\n0 SIGNAL 20 50 data/.hall.vsc\nTIMELINE\n1000 START 20\n2000 END_DEMO\n' \
  >hidden/data/testscript.scr
"$VPDPACK" release hidden failed/hidden >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 1
expect_stderr_line "vpdpack: the release of hidden fails vplayer --check, though the production passes it (does it need a file left out of the archive? -v lists them); nothing was released"
[ -z "$(ls -A failed)" ] || fail "a failed release left $(ls -A failed)"
echo ok
