# The installed player, started in a folder that holds no production, plays
# the production installed beside it: one second captured from elsewhere is
# ten frames and one second of its soundtrack, and the capture, F12's
# picture and the logs land where it was started. A production in the working
# folder still comes first, and --data-dir wins over both. A player without its
# share/ folder reports what the working folder lacks; one whose installed
# production cannot be read says so first. The installed desktop
# entry, icons and man pages are what desktops and man accept.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
. "$VP_SOURCE_DIR/tests/support/private_display.sh"
WORK=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$WORK"' EXIT
start_private_display
PREFIX="$WORK/prefix"
cmake --install "$VP_BUILD_DIR" --prefix "$PREFIX" > "$WORK/install.log" 2>&1 ||
  fail "cmake --install failed: $(cat "$WORK/install.log")"
VPLAYER="$PREFIX/bin/vplayer"
for tool in vplayer vpdpack vpimport; do
  [ -x "$PREFIX/bin/$tool" ] || fail "$tool is not installed"
done
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$WORK/heard.raw"

mkdir "$WORK/elsewhere" "$WORK/here" "$WORK/empty"
cd "$WORK/elsewhere"
run_player --capture frames --fps 10 --to 900 --size 64x48
expect_rc 0
[ -f frames/frame_000009.png ] && [ ! -e frames/frame_000010.png ] ||
  fail "the installed production did not capture as ten frames: $(ls frames 2>&1); stderr: $ERR"
[ "$(stat -c %s frames/audio.wav)" -eq $((44 + 44100 * 4)) ] || fail "audio.wav does not last one second"

# Playing the installed production, F12's picture and --log's files land
# where the player was started, not in the installed folder.
start_player --windowed --no-music --resolution 160x120 --log
wait_window
screenshot
quit_quietly
[ -f "$WORK/elsewhere/screenshot_0001.png" ] || fail "no screenshot in the starting folder: $(cat "$OUTFILE")"
for log in vp_log_extensions.txt vp_log_textures.txt vp_log_scenes.txt vp_profiling.txt vp_log_starts.txt; do
  [ -f "$WORK/elsewhere/$log" ] || fail "no $log in the starting folder"
done
ls "$PREFIX/share/vplayer" | grep -q '^vp_' && fail "logs in the installed folder: $(ls "$PREFIX/share/vplayer")"

# The archive without its soundtrack in the working folder: that production
# is the one played (and reported), not the installed one.
ln -s "$PREFIX/share/vplayer/data.vpd" "$WORK/here/"
cd "$WORK/here"
run_player --capture frames --fps 10 --to 0 --size 64x48
expect_rc 1
expect_stderr_line "vplayer: no velmorprocess-zqfinal.ogg (the soundtrack) in $WORK/here: --no-music plays without the soundtrack, --data-dir DIR names a production's folder"

cd "$WORK/elsewhere"
run_player --data-dir "$WORK/empty" --capture frames --fps 10 --to 0 --size 64x48 --no-music
expect_rc 1
expect_stderr_line "vplayer: no data.vpd in $WORK/empty: start the player in a production's folder or name one with --data-dir DIR"

# No share/ folder beside the player: only the working folder's lack.
nothing_here="vplayer: no data.vpd and velmorprocess-zqfinal.ogg (the soundtrack) in $WORK/elsewhere: start the player in a production's folder or name one with --data-dir DIR"
mkdir -p "$WORK/bare/bin"
cp "$VPLAYER" "$WORK/bare/bin/"
VPLAYER="$WORK/bare/bin/vplayer" run_player --capture frames --fps 10 --to 0 --size 64x48
expect_rc 1
[ "$(printf '%s\n' "$ERR" | head -1)" = "$nothing_here" ] || fail "no share/ folder: $ERR"

# The installed folder, then its archive, unreadable. Root reads anything,
# so it runs the player without the right to override file permissions.
unprivileged=()
[ "$(id -u)" -ne 0 ] || unprivileged=(setpriv --bounding-set=-dac_override,-dac_read_search)
for locked in "$PREFIX/share/vplayer" "$PREFIX/share/vplayer/data.vpd"; do
  mode=$(stat -c %a "$locked")
  chmod a-rwx "$locked"
  "${unprivileged[@]}" "$VPLAYER" --capture frames --fps 10 --to 0 --size 64x48 >/dev/null 2>"$WORK/err"
  RC=$? ERR=$(cat "$WORK/err")
  chmod "$mode" "$locked"
  expect_rc 1
  reason="Permission denied"
  [ "$locked" = "$PREFIX/share/vplayer" ] || reason="data.vpd: $reason"
  [ "$(printf '%s\n' "$ERR" | head -2)" = "vplayer: cannot read the production installed in $PREFIX/share/vplayer: $reason
$nothing_here" ] || fail "$locked unreadable: $ERR"
done

desktop-file-validate "$PREFIX/share/applications/vplayer.desktop" || fail "desktop-file-validate rejects the entry"
for size in 16 32 48 64 128 256; do
  icon="$PREFIX/share/icons/hicolor/${size}x${size}/apps/vplayer.png"
  [ "$(identify -format '%wx%h %[channels]' "$icon" 2>&1)" = "${size}x${size} srgba" ] ||
    fail "$icon: $(identify -format '%wx%h %[channels]' "$icon" 2>&1)"
done

# Every page in the repository is installed, renders without a warning and
# names every option its program's --help lists.
options() { grep -oE -- '(^|[ [|])--?[a-z][a-z-]*(=[a-z]+)?' | tr -d ' [|' | sort -u; }
pages=0
for source in "$VP_SOURCE_DIR"/dist/man/*.1; do
  name=$(basename "$source" .1)
  page="$PREFIX/share/man/man1/$name.1.gz"
  said=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$said" ] || fail "man -l $page: $said"
  missing=$(comm -23 <("$PREFIX/bin/$name" --help 2>&1 | options) \
                     <(MANWIDTH=200 man -l "$page" 2>/dev/null | options))
  [ -z "$missing" ] || fail "$page lacks $missing"
  pages=$((pages + 1))
done
[ "$pages" -eq 3 ] || fail "$pages man pages, expected 3"

for doc in manual.md tutorial.md example/production.ini copyright; do
  [ -f "$PREFIX/share/doc/vplayer/$doc" ] || fail "share/doc/vplayer/$doc is not installed"
done
# The sample production's loose sources are the ones its archive was packed
# from, so what an author reads is what plays.
for f in "$VP_SOURCE_DIR"/production/data/*.scr "$VP_SOURCE_DIR"/production/scenes.txt; do
  rel=${f#"$VP_SOURCE_DIR"/}
  cmp -s "$f" "$PREFIX/share/doc/vplayer/$rel" || fail "share/doc/vplayer/$rel is not the production's source"
done
"$PREFIX/bin/vpdpack" x "$PREFIX/share/vplayer/data.vpd" data/intro.scr -p tavex -o "$WORK/intro.scr" ||
  fail "the installed archive holds no data/intro.scr"
cmp -s "$WORK/intro.scr" "$PREFIX/share/doc/vplayer/production/data/intro.scr" ||
  fail "the installed archive's intro.scr differs from the installed source"
# The installed docs run the installed commands: no example command runs a
# program from a build tree or a checkout's scripts.
from_checkout=$(grep -nE '^    (\.\./)?(build|scripts)/' "$PREFIX/share/doc/vplayer/manual.md" \
                  "$PREFIX/share/doc/vplayer/tutorial.md")
[ -z "$from_checkout" ] || fail "the installed docs run programs from a checkout: $from_checkout"
# Every picture the installed docs show is installed beside them.
for picture in $(grep -ohE '\]\([^)]*\.png\)' "$PREFIX/share/doc/vplayer/manual.md" "$PREFIX/share/doc/vplayer/tutorial.md" |
                 sed 's/^](//; s/)$//'); do
  [ -f "$PREFIX/share/doc/vplayer/$picture" ] || fail "the docs show $picture, which is not installed"
done
echo ok
