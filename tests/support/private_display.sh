# A private X server for one test: other tests' windows, which take the
# keyboard focus when they open, cannot then steal keys or sit over ours.
# Source after e2e_lib.sh and make_workdir; the server ends with the script.
#
# The display number is picked at random far above the ones other servers
# use: servers that search for a free number themselves (-displayfd, from 0)
# probe numbers in use and can disturb the server holding them. The server
# must not reset when its last client leaves: a connection made during the
# reset is dropped, which a test that runs one client after the other hits.
start_private_display() {
  local num
  for _ in $(seq 1 10); do
    num=$((400 + RANDOM % 500))
    Xvfb ":$num" -screen 0 1024x768x24 +extension GLX -nolisten tcp -noreset >/dev/null 2>&1 &
    PRIVATE_XVFB=$!
    trap 'kill "$PRIVATE_XVFB" 2>/dev/null; rm -rf "${WORK:-}"' EXIT
    for _ in $(seq 1 50); do
      kill -0 "$PRIVATE_XVFB" 2>/dev/null || break
      if DISPLAY=:$num xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=:$num VP_OWN_DISPLAY=:$num
        return 0
      fi
      sleep 0.1
    done
    kill "$PRIVATE_XVFB" 2>/dev/null
  done
  fail "no private X server"
}
