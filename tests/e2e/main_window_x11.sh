#!/usr/bin/env bash
# The program in a real X server: its one window is mapped with the right title, client size and
# position, tells the window manager it cannot be resized, and Exit and the close box each end the
# process; an X server that refuses it is named with the server's own words. Starts its own Xvfb
# servers on free displays and always stops them.
# Usage: main_window_x11.sh <quorvane> <send_close>
set -euo pipefail

program=$1
send_close=$2
title="System Information Beta 0.96"
# shellcheck source=tests/e2e/x_server.sh
source "$(dirname "$0")/x_server.sh"

start_x_server "$work"

# Starts the program and sets window to its mapped main window's id.
start() {
  "$program" >"$work/app.log" 2>&1 &
  app_pid=$!
  wait_for_window "$title" "$app_pid"
}

# Waits for the program to end by itself and checks it ended well.
expect_end() {
  local how=$1 status=0
  for _ in $(seq 150); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "$how did not end the program"
  wait "$app_pid" || status=$?
  app_pid=""
  [[ $status -eq 0 ]] || fail "$how ended the program with status $status"
}

start
info=$(xwininfo -id "$window")
field() { awk -F': *' -v k="$1" '$1 ~ k {print $2; exit}' <<<"$info"; }
[[ "$(field 'Width')" == 413 && "$(field 'Height')" == 274 ]] ||
  fail "client area is $(field 'Width')x$(field 'Height'), not 413x274"
# No window manager runs, so the client area stands where the program put it.
[[ "$(field 'Absolute upper-left X')" == 115 && "$(field 'Absolute upper-left Y')" == 134 ]] ||
  fail "client area at $(field 'Absolute upper-left X'),$(field 'Absolute upper-left Y'), not 115,134"

props=$(xprop -id "$window" WM_NAME _NET_WM_NAME WM_NORMAL_HINTS)
grep -qxF "_NET_WM_NAME(UTF8_STRING) = \"$title\"" <<<"$props" || fail "title: $props"
grep -qF "program specified minimum size: 413 by 274" <<<"$props" || fail "minimum size: $props"
grep -qF "program specified maximum size: 413 by 274" <<<"$props" || fail "maximum size: $props"

viewable=0
for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
  if xwininfo -id "$id" | grep -q "Map State: IsViewable"; then
    viewable=$((viewable + 1))
  fi
done
[[ $viewable -eq 1 ]] || fail "$viewable windows are on the screen, not one"

# Exit: Command1 at 2280,1380 twips, 975 x 285: its middle is 184,101 in the client area.
xdotool mousemove --sync $((115 + 184)) $((134 + 101)) click 1
expect_end "Exit"

start
"$send_close" "$window"
expect_end "the close box"
echo "PASS: one window, $title, 413x274 at 115,134, fixed size; Exit and close end the program"

# An X server that asks for authorisation the program does not have: the server's refusal, as the
# window system's library wrote it, and Qt's own words come before the one line that names the
# display; nothing of Qt's abort.
xauth -f "$work/cookie" add ":0" . "$(mcookie)" 2>/dev/null
Xvfb -displayfd 3 -auth "$work/cookie" -screen 0 640x480x24 -nolisten tcp 3>"$work/guarded" \
  2>"$work/guarded.log" &
guarded_pid=$!
trap 'kill "$guarded_pid" 2>/dev/null || true; cleanup' EXIT
for _ in $(seq 100); do
  [[ -s "$work/guarded" ]] && break
  sleep 0.1
done
guarded=":$(head -n1 "$work/guarded")"
status=0
DISPLAY=$guarded XAUTHORITY=$work/no-cookie "$program" >"$work/app.log" 2>&1 || status=$?
kill "$guarded_pid"
wait "$guarded_pid" 2>/dev/null || true
[[ $status -eq 1 ]] || fail "refused by the X server: status $status"
[[ "$(tail -n1 "$work/app.log")" == "quorvane: cannot open the X display \"$guarded\" (DISPLAY); --text and --json need none" ]] ||
  fail "refused by the X server: the last line"
grep -q "^Authorization required" "$work/app.log" && grep -qF "could not connect to display $guarded" "$work/app.log" ||
  fail "refused by the X server: the cause is lost"
! grep -q "Reinstalling" "$work/app.log" || fail "refused by the X server: Qt's abort"
echo "PASS: refused by the X server, the program says the server's and Qt's words, then its one line"
