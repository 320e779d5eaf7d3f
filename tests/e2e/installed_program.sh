#!/usr/bin/env bash
# An installed program in a real X server: it shows its window, and Print Info loads the printing
# module from where the install put it and runs the report (its first message box appears).
# Starts its own Xvfb on a free display and always stops it and the program.
# Usage: installed_program.sh <installed quorvane> <the printing module it must load>
set -euo pipefail

program=$1
module=$(realpath "$2")
# shellcheck source=tests/e2e/x_server.sh
source "$(dirname "$0")/x_server.sh"

[[ -f "$module" ]] || fail "$program: no printing module at $module"
start_x_server "$work"

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
wait_for_window "System Information Beta 0.96" "$app_pid"
grep -qF "$module" "/proc/$app_pid/maps" && fail "$program: the printing module was loaded before Print Info"

# Print Info: Command2 at 2280,1020 twips, 975 x 285: its middle is 184,77 in the client area.
xdotool mousemove --window "$window" 184 77 click 1
for _ in $(seq 100); do
  grep -qF "$module" "/proc/$app_pid/maps" && break
  kill -0 "$app_pid" 2>/dev/null || fail "$program ended on Print Info"
  sleep 0.1
done
grep -qF "$module" "/proc/$app_pid/maps" ||
  fail "$program: Print Info did not load $module; loaded: $(grep -o '/[^ ]*quorvane-printing[^ ]*' \
    "/proc/$app_pid/maps" | sort -u | tr '\n' ' ')"
# The report's first step is its message box; the box saying printing is unavailable has the
# program's own title instead.
wait_for_window "Pelvaro Beta 0.95" "$app_pid"
echo "PASS: $program loads $module on Print Info and runs the report"
