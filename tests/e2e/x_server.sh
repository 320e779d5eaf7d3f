# Shared by the checks that run the program in a real X server; sourced, not run. Sets up a work
# directory and the clean-up that always stops the program ($app_pid) and the server ($xvfb_pid).

work=$(mktemp -d)
xvfb_pid=""
app_pid=""

cleanup() {
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

# fail MESSAGE: ends the check, with what the program printed.
fail() {
  echo "FAIL: $*" >&2
  [[ -s "$work/app.log" ]] && sed 's/^/  program: /' "$work/app.log" >&2
  exit 1
}

# start_x_server WORK: starts Xvfb on a free display (it picks the number itself and writes it to
# the descriptor), exports DISPLAY once the server answers, and sets xvfb_pid.
start_x_server() {
  local work=$1
  # -noreset: the server would otherwise reset when its last client leaves, and turn away the
  # clients that come during the reset (the first answer below is such a client).
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.1
  done
  [[ -s "$work/display" ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
  # The number is written when the server listens; a client is still let in only once it answers.
  local answered=0
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && answered=1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(cat "$work/xvfb.log")"
    sleep 0.1
  done
  [[ $answered -eq 1 ]] || fail "Xvfb on $DISPLAY does not answer: $(cat "$work/xvfb.log")"
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
}

# wait_for_window TITLE PID: sets window to the id of the mapped top-level window titled TITLE;
# fails if the process PID ends first or no such window comes within 30 seconds.
wait_for_window() {
  local title=$1 pid=$2
  window=""
  for _ in $(seq 300); do
    window=$(xwininfo -root -children 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) {print $1}' |
      head -n1)
    if [[ -n "$window" ]] && xwininfo -id "$window" | grep -q "Map State: IsViewable"; then
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended before showing its window"
    sleep 0.1
  done
  fail "no window titled \"$title\" was mapped"
}
