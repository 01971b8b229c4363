# Every end-to-end script that finds windows by name or sends keys runs on a
# display of its own (private_display.sh, or a server only it reaches), so
# that a window another test opens cannot take its keys. e2e_lib.sh's press
# and wait_window refuse a shared display when they run; this finds the
# scripts that talk to X by other means, or only on a path a run may not take.
# Usage: check_own_display.sh SCRIPT...; lists each offender, fails if any.
bad=0
for f in "$@"; do
  uses_x=$(grep -nE '(^|[^[:alnum:]_])(xdotool|xsend|XSEND|press|wait_window|screenshot|grab)([^[:alnum:]_]|$)' "$f" |
    grep -vE '^[0-9]+:[[:space:]]*#' | head -1)
  [ -n "$uses_x" ] || continue
  if ! grep -qE '^[^#]*(start_private_display|VP_OWN_DISPLAY=)' "$f"; then
    echo "$f: talks to X ($uses_x) on a display other tests share"
    bad=1
  fi
done
exit $bad
