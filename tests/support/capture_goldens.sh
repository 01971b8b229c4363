# Captures the golden times of tests/golden/times.txt into a folder:
#   capture_goldens OUT_DIR   writes OUT_DIR/t<ms>.png for each time
# One capture plays the production from its start at 10 frames a second, as a
# viewer would see it, and the frames at the chosen times (multiples of
# 100 ms) are kept. Needs VPLAYER and VP_PRODUCTION_DIR.
capture_goldens() {
  local out=$1 t rest last=0 tmp
  local times=()
  while read -r t rest; do
    case "$t" in ''|'#'*) continue ;; esac
    times+=("$t")
    [ "$t" -gt "$last" ] && last=$t
  done < "$VP_SOURCE_DIR/tests/golden/times.txt"
  mkdir -p "$out"
  tmp=$(mktemp -d)
  (cd "$VP_PRODUCTION_DIR" && VP_NO_DIALOGS=1 "$VPLAYER" --capture "$tmp" --fps 10 --from 0 --to "$last" \
    --size 320x240 --no-music) || { rm -rf "$tmp"; return 1; }
  for t in "${times[@]}"; do
    mv "$tmp/$(printf 'frame_%06d.png' $((t / 100)))" "$out/t$t.png" || { rm -rf "$tmp"; return 1; }
  done
  rm -rf "$tmp"
}
