# Shared by the checks that run the program in a real X server; sourced, not run.
# The caller defines fail() and cleans up $xvfb_pid.

# start_x_server WORK: starts Xvfb on a free display (it picks the number itself and writes it to
# the descriptor), exports DISPLAY once the server answers, and sets xvfb_pid.
start_x_server() {
  local work=$1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.1
  done
  [[ -s "$work/display" ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
  # The number is written when the server listens; a client is still let in only once it answers.
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb ended: $(cat "$work/xvfb.log")"
    sleep 0.1
  done
  xdpyinfo >/dev/null 2>&1 || fail "Xvfb on $DISPLAY does not answer: $(cat "$work/xvfb.log")"
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
