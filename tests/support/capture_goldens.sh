# Captures the golden times of tests/golden/times.txt into a folder:
#   capture_goldens OUT_DIR   writes OUT_DIR/t<ms>.png for each time
# Needs VPLAYER and VP_PRODUCTION_DIR; runs the player once per time.
capture_goldens() {
  local out=$1 t rest
  mkdir -p "$out"
  while read -r t rest; do
    case "$t" in ''|'#'*) continue ;; esac
    local tmp
    tmp=$(mktemp -d)
    (cd "$VP_PRODUCTION_DIR" && VP_NO_DIALOGS=1 "$VPLAYER" --capture "$tmp" --fps 1 --from "$t" --to "$t" \
      --size 320x240 --no-music) || { rm -rf "$tmp"; return 1; }
    mv "$tmp/frame_000000.png" "$out/t$t.png" || { rm -rf "$tmp"; return 1; }
    rm -rf "$tmp"
  done < "$VP_SOURCE_DIR/tests/golden/times.txt"
}
