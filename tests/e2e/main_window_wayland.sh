#!/usr/bin/env bash
# The program on a Wayland desktop without X: Weston's headless backend (software rendering) in a
# runtime folder of the test's own, the program started with only WAYLAND_DISPLAY named. Its window
# asks for a fixed client size, its title and its app id, draws itself, and nothing is said on the
# standard error. Always stops what it started.
# Usage: main_window_wayland.sh <quorvane>
set -euo pipefail

program=$1
work=$(mktemp -d)
chmod 700 "$work"
weston_pid= program_pid=
trap '[[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null
  [[ -n "$weston_pid" ]] && kill "$weston_pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -f "$work/weston.log" ]] && tail -n 20 "$work/weston.log" >&2
  exit 1
}

export XDG_RUNTIME_DIR=$work
unset DISPLAY QT_QPA_PLATFORM XDG_SESSION_TYPE
socket=quorvane-test
weston --backend=headless-backend.so --use-pixman --socket="$socket" --idle-time=0 \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
  [[ -S "$work/$socket" ]] && break
  kill -0 "$weston_pid" 2>/dev/null || fail "weston ended"
  sleep 0.1
done
[[ -S "$work/$socket" ]] || fail "weston made no socket"
export WAYLAND_DISPLAY=$socket

# run SECONDS [ENV...]: the program for that long; its standard error in $work/err.
run() {
  local seconds=$1 status=0
  shift
  env "$@" timeout "$seconds" "$program" >"$work/out" 2>"$work/err" || status=$?
  [[ $status -eq 124 ]] || fail "the program ended with status $status: $(head -n 5 "$work/err")"
}

wanted=('xdg_toplevel@[0-9]+\.set_title\("System Information Beta 0\.96"\)'
  'xdg_toplevel@[0-9]+\.set_app_id\("example\.pelvaro\.Quorvane"\)'
  'xdg_toplevel@[0-9]+\.set_min_size\(413, 274\)' 'xdg_toplevel@[0-9]+\.set_max_size\(413, 274\)'
  'wl_surface@[0-9]+\.attach\(wl_buffer@[0-9]+')
# missing: the first wanted request the window has not yet asked, from what the client library
# logged so far; nothing once it has asked them all.
missing() {
  local requests
  requests=$(grep -E ' -> (xdg_toplevel|wl_surface)@[0-9]+\.' "$work/err" | sed -E 's/^.* -> //')
  for w in "${wanted[@]}"; do
    grep -qE "^$w" <<<"$requests" || { echo "$w"; return; }
  done
}

# What the window asks of the compositor, as the client library logs it. On a loaded machine (the
# sanitizer build beside other window tests) the first frame can take seconds: wait for it, up to
# a bound, rather than for a fixed time.
env WAYLAND_DEBUG=client "$program" >"$work/out" 2>"$work/err" &
program_pid=$!
for _ in $(seq 300); do
  [[ -z "$(missing)" ]] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
if ! kill -0 "$program_pid" 2>/dev/null; then
  status=0
  wait "$program_pid" || status=$?
  fail "the program ended with status $status: $(grep -v ' -> \| <- ' "$work/err" | head -n 5)"
fi
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=
[[ -z "$(missing)" ]] || fail "the window did not ask $(missing) within 30 s"
grep -qE '\] xdg_toplevel@[0-9]+\.configure\(' "$work/err" || fail "the compositor never configured it"

# And without the log: nothing at all on the standard error.
run 3
[[ ! -s "$work/err" ]] || fail "said on the standard error: $(head -n 5 "$work/err")"
echo "PASS: on Wayland the window asks for its fixed 413 x 274 client area, its title and app id," \
  "draws, and says nothing"
