# vpdpack release makes a folder that plays where vplayer was never
# installed. A production that --check finds errors in is refused. The
# sample production's release stays within 15 MB and needs no glibc symbol
# newer than 2.35 (Ubuntu 22.04). Unpacked from its .tar.gz into a minimal
# Debian 12 root that has only what every desktop has (no SDL2, FLTK, GLU,
# libpng, TurboJPEG or Vorbis), into a folder whose name holds ':' and a
# blank, it plays, captures and shows its launcher.
# The root is made once with debootstrap and kept (minimal_debian_root.sh);
# running in it needs root, as chroot does.
. "$VP_SOURCE_DIR/tests/support/e2e_lib.sh"
make_workdir
[ "$(id -u)" -eq 0 ] || fail "needs root: the release is played in a chroot"
VPDPACK="$VP_BUILD_DIR/vpdpack"

# --- Refused: a script with an unknown command. Nothing is made.
mkdir -p broken/data
ln -s "$VP_PRODUCTION_DIR/velmorprocess-zqfinal.ogg" broken/
printf 'DEMOSTART 0\nSETUP\nTIMELINE\n100 DANCE 3\n' >broken/data/testscript.scr
"$VPDPACK" release broken broken-release >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 1
expect_stderr_line "vpdpack: broken has errors (vplayer --check); nothing was released"
[ ! -e broken-release ] && [ ! -e broken-release.tar.gz ] || fail "a refused production left a release behind"

# --- The sample production's release.
"$VPDPACK" release "$VP_PRODUCTION_DIR" demo >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
cat out.txt
for f in start README.txt bin/vplayer share/vplayer/data.vpd share/vplayer/velmorprocess-zqfinal.ogg; do
  [ -f "demo/$f" ] || fail "the release lacks $f"
done
[ -x demo/start ] || fail "the start script cannot be run"
grep -q -- '--fullscreen=desktop' demo/README.txt || fail "README.txt names no organisers' options"
# Packed afresh from the loose data with the production's password.
"$VPDPACK" t demo/share/vplayer/data.vpd -p tavex >/dev/null || fail "the release's archive does not open with the password"
bytes=$(du -sb demo | cut -f1)
[ "$bytes" -le 15000000 ] || fail "the release takes $bytes bytes, more than 15 MB"
newest=$(objdump -T demo/bin/vplayer demo/lib/* 2>/dev/null | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -n1)
echo "newest glibc symbol version: $newest"
[ "$(printf '%s\nGLIBC_2.35\n' "$newest" | sort -V | tail -n1)" = GLIBC_2.35 ] ||
  fail "the release needs $newest, newer than Ubuntu 22.04's GLIBC_2.35"

# --- In the minimal root, unpacked from the tarball as a stranger gets it.
ROOT=$(bash "$VP_SOURCE_DIR/tests/support/minimal_debian_root.sh") || fail "no minimal Debian root"
STAGE=$(mktemp -d "$ROOT/tmp/vp-release.XXXXXX")
INSIDE=/tmp/${STAGE##*/}
# A folder's name that a search path would split.
mkdir "$STAGE/party:2026 entries"
PARTY="$INSIDE/party:2026 entries"
tar -xzf demo.tar.gz -C "$STAGE/party:2026 entries" || fail "cannot unpack demo.tar.gz"

# Runs a shell command in the root, in a mount namespace of its own so that
# /proc and /dev are mounted there only as long as the command runs.
in_root() {
  unshare --mount --propagation private sh -c \
    'mount --bind /proc "$0/proc" && mount --bind /dev "$0/dev" && exec chroot "$0" /bin/sh -c "$1"' "$ROOT" "$1"
}

# The root's own X server. Clients outside reach it through its abstract
# socket, which the chroot does not hide.
for _ in $(seq 1 10); do
  num=$((400 + RANDOM % 500))
  in_root "exec Xvfb :$num -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset" >/dev/null 2>&1 &
  ROOT_XVFB=$!
  trap 'kill "$ROOT_XVFB" 2>/dev/null; wait "$ROOT_XVFB" 2>/dev/null; rm -rf "$STAGE" "$WORK"' EXIT
  for _ in $(seq 1 50); do
    kill -0 "$ROOT_XVFB" 2>/dev/null || break
    DISPLAY=:$num xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
    sleep 0.1
  done
  kill "$ROOT_XVFB" 2>/dev/null
done
DISPLAY=:$num xdotool getdisplaygeometry >/dev/null 2>&1 || fail "no X server in the minimal root"
# No other test reaches this server: its windows and keys are this test's.
export DISPLAY=:$num VP_OWN_DISPLAY=:$num

# The player and the shipped libraries find theirs in lib/ by themselves.
echo "ldd of the released player in the minimal root:"
in_root "ldd '$PARTY/demo/bin/vplayer'" >ldd.txt 2>&1 || fail "ldd failed in the root: $(cat ldd.txt)"
cat ldd.txt
! grep -q 'not found' ldd.txt || fail "libraries missing in the minimal root"

# Starts the release in the root in the background, like start_player.
start_in_root() {
  OUTFILE=$(mktemp) ERRFILE=$(mktemp) SHOTS=0
  in_root "cd '$PARTY' && DISPLAY=$DISPLAY VP_NO_DIALOGS=1 $1" >"$OUTFILE" 2>"$ERRFILE" &
  PID=$!
}

# Plays 5 s of demo time with the music (to SDL's disk driver), then Escape.
start_in_root "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$INSIDE/heard.raw VP_CLOCK_TRACE=$INSIDE/trace.txt \
  ./demo/start --windowed --resolution 320x240"
wait_window
# The sound is silent until the music starts; then 5 s of it.
played_5s() {
  local size first
  size=$(stat -c %s "$STAGE/heard.raw" 2>/dev/null) || return 1
  first=$(cmp "$STAGE/heard.raw" /dev/zero 2>/dev/null | sed -n 's/.* byte \([0-9]*\).*/\1/p')
  [ -n "$first" ] && [ $((size - first)) -ge $((5 * 44100 * 4)) ]
}
wait_until played_5s 120 "5 s of music heard in the minimal root"
quit_with_escape
expect_rc 0
# The picture kept up: the last frame drawn (the trace is written at the
# end of the run) lies about 5 s into the music (the clock steers demo time to it smoothly).
shown=$(awk '$1 == "music" { start = $3 } $1 == "frame" { t = $3 } END { print t - start }' "$STAGE/trace.txt")
[ "$shown" -ge 4000 ] || fail "the picture reached only $shown ms into the music"
echo "played $shown ms of demo time with the music"

# Captures 2 s at 5 frames a second.
in_root "cd '$PARTY' && DISPLAY=$DISPLAY VP_NO_DIALOGS=1 ./demo/start --capture $INSIDE/frames --fps 5 \
  --from 40000 --to 42000 --size 320x240" >out.txt 2>err.txt
RC=$? ERR=$(cat err.txt)
expect_rc 0
frames=$(ls "$STAGE/frames"/*.png 2>/dev/null | wc -l)
[ "$frames" -ge 10 ] || fail "captured $frames frames in the root, expected 10"
lit=0
for f in "$STAGE/frames"/*.png; do
  mean=$(convert "$f" -colorspace Gray -format '%[fx:round(mean*1000)]' info:)
  [ "$mean" -gt 20 ] && lit=$((lit + 1))
done
[ "$lit" -ge 8 ] || fail "only $lit of $frames captured frames show anything"
mkdir -p "$VP_BUILD_DIR/release-frames" && cp "$STAGE/frames"/*.png "$VP_BUILD_DIR/release-frames/"
echo "captured $frames frames in the root ($lit lit), copied to $VP_BUILD_DIR/release-frames"

# Without options: the launcher, which Escape closes with exit code 0.
start_in_root "./demo/start"
wait_window "Velmor Process - Quorvantix"
quit_with_escape
expect_rc 0
echo ok
