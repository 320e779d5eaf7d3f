#!/usr/bin/env bash
# The program's main window as a screen reader reads it over AT-SPI: the window's children in reading
# order with their names and roles, no actions, value or live region on the memory figures, and a
# refresh that renames a figure without announcing it. Starts its own Xvfb and session bus (which
# starts the accessibility bus when asked for it) and always stops them; the reading is done by
# main_window_atspi.py with Debian's python3, whose modules include pyatspi. Skipped (77) where one
# of them is missing.
# Usage: main_window_atspi.sh <quorvane>
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=$1
python=/usr/bin/python3

for tool in dbus-run-session Xvfb xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
"$python" -c 'import pyatspi' 2>/dev/null ||
  { echo "SKIP: $python cannot import pyatspi (Debian's python3-pyatspi)"; exit 77; }

# shellcheck source=tests/e2e/x_server.sh
source "$here/x_server.sh"
start_x_server "$work"

# The buses' sockets go into a directory of this run's own, never a desktop's.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset AT_SPI_BUS_ADDRESS DBUS_SESSION_BUS_ADDRESS

dbus-run-session -- "$python" "$here/main_window_atspi.py" "$program" "$work/app.log" \
  2>"$work/session.log" || { cat "$work/session.log" >&2; fail "the window as read over AT-SPI"; }
echo "PASS: the window read over AT-SPI in rows, headings in their values, figures quiet and inert"
