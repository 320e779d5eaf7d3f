#!/usr/bin/env bash
# Print Info of the real program, driven as a user would in a real X server, beside a print server
# of the test's own whose PDF queue is the default printer: OK and OK print one job whose text is
# the report; 2 copies print two jobs with the same document; Cancel prints nothing; a queue that
# rejects jobs, or is deleted while the dialog is open, ends the command silently with the program
# still running. Starts its own Xvfb and print server and always stops them.
# Usage: print_x11.sh <quorvane>
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=$1
# shellcheck source=tests/e2e/x_server.sh
source "$here/x_server.sh"
# shellcheck source=tests/e2e/x_dialogs.sh
source "$here/x_dialogs.sh"
# shellcheck source=tests/e2e/print_checks.sh
source "$here/print_checks.sh"
server=$work/server

# The print server stops with the X server and the program.
stop_all() {
  "$here/print_server.sh" stop "$server" || true
  cleanup
}
trap stop_all EXIT

start_x_server "$work"
"$here/print_server.sh" start "$server" || fail "the print server did not start"
export CUPS_SERVER=$server/cups.sock
queue=$("$here/print_server.sh" queue)

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
main=$(wait_window "System Information Beta 0.96")
read -r main_x main_y < <(window_corner "$main")

# Print Info, then OK on the message box; prints the print dialog's id.
print_info() { press_print_info "$main_x" "$main_y"; }

# After a command that must end silently: only the main window is on the screen, and the program
# still runs.
expect_silent_end() {
  local why=$1 id
  sleep 1
  kill -0 "$app_pid" 2>/dev/null || fail "$why: the program ended"
  for id in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    [[ "$id" == "$main" ]] && continue
    xwininfo -id "$id" | grep -q "Map State: IsViewable" &&
      fail "$why: a window is on the screen: $(xwininfo -id "$id" | head -n2 | tail -n1)"
  done
  return 0
}

# The report expected from what the window shows: the key facts, each as this computer reports it
# (the processor is described by its class: every x86 one since the Pentium is "Intel Pentium",
# others have no description), then the listing copied out of the window's text box.
xdotool mousemove $((main_x + 150)) $((main_y + 200)) sleep 0.1 click 1
keys_to "$main" ctrl+a ctrl+c
listing=$(timeout 10 xclip -selection clipboard -o) || fail "the window's listing could not be copied"
grep -qx "Scroll Down To View All Settings" <<<"$listing" || fail "the copied listing: $listing"

# 1. OK on the default queue: one job, the report.
dialog=$(print_info)
keys_to "$dialog" Return
wait_gone "$dialog"
expect_jobs 1 "one copy"
first=$(find "$server/out" -name 'job-*')
printed=$(pdf_text "$first")
case $(uname -m) in
  x86_64 | i?86) processor="Intel Pentium" ;;
  *) processor="" ;;
esac
version=$(uname -r | sed -E 's/^([0-9]+)\.([0-9]+).*/\1.\2/')
expected=$(
  printf '%s\n' "System Information Settings" "Pelvaro" "Computer Name: $(uname -n)" \
    "User Name:     $(id -un)" "Platform:      $(uname -s)" "Win Version:   $version" \
    "Processor:     $processor" "Physical RAM:  $(awk '/^MemTotal:/ {print $2}' /proc/meminfo) Kb" \
    "Path Settings, Keyboard Settings, Drive Settings:"
  printf '%s\n' "$listing"
)
expected=$(trimmed <<<"$expected")
if [[ "$printed" != "$expected" ]]; then
  diff <(echo "$expected") <(echo "$printed") | sed 's/^/  /' >&2 || true
  fail "the printed report differs from the window (< expected, > printed)"
fi

# 2. Two copies: two jobs with the same document.
dialog=$(print_info)
read -r dx dy < <(window_corner "$dialog")
# "Options >>" opens the copies field; both stand where Qt's dialog puts them at its fixed size.
height() { xwininfo -id "$1" | awk -F': *' '/^ *Height:/ {print $2}'; }
closed=$(height "$dialog")
xdotool mousemove $((dx + 51)) $((dy + 156)) sleep 0.1 click 1
# The options open by growing the dialog: wait for that rather than for a fixed time.
for _ in $(seq 100); do
  [[ "$(height "$dialog")" != "$closed" ]] && break
  sleep 0.1
done
[[ "$(height "$dialog")" != "$closed" ]] || fail "\"Options >>\" did not open the options"
xdotool mousemove $((dx + 331)) $((dy + 215)) sleep 0.1 click 1
xdotool key ctrl+a
xdotool type 2
keys_to "$dialog" Return
wait_gone "$dialog"
expect_jobs 3 "two copies"
copies=()
while IFS= read -r file; do copies+=("$file"); done < <(find "$server/out" -name 'job-*' ! -samefile "$first")
same_document "${copies[0]}" "${copies[1]}" || fail "the two copies differ"
[[ "$(pdf_text "${copies[0]}")" == "$expected" ]] || fail "a copy is not the report"

# 3. Cancel: nothing printed, nothing shown.
dialog=$(print_info)
keys_to "$dialog" Escape
wait_gone "$dialog"
expect_jobs 3 "Cancel"
expect_silent_end "Cancel"

# 4. The queue stops taking jobs while the dialog is open.
dialog=$(print_info)
cupsreject "$queue"
keys_to "$dialog" Return
wait_gone "$dialog"
expect_jobs 3 "a queue that rejects jobs"
expect_silent_end "a queue that rejects jobs"
cupsaccept "$queue"

# 5. The queue is deleted while the dialog is open.
dialog=$(print_info)
lpadmin -x "$queue"
keys_to "$dialog" Return
wait_gone "$dialog"
expect_jobs 3 "a deleted queue"
expect_silent_end "a deleted queue"

echo "PASS: the default queue printed the report; 2 copies gave 2 identical jobs; Cancel, a" \
  "rejecting queue and a deleted queue printed nothing, silently, the program still running"
