#!/usr/bin/env bash
# Print Info's command of the Windows program under Wine, on its real MessageBoxA, PrintDlgA and GDI
# printer, driven as a user would in a real X server beside a print server of the test's own whose
# queue is the default printer (Wine finds it through libcups): OK and OK print one job whose text
# is the report; 2 copies print two jobs; Cancel prints nothing; a queue that rejects jobs, or is
# deleted while the dialog is open, ends the command silently; a long listing continues on a new
# page and a wide line on the next lines. Starts its own Xvfb, print server and
# Wine server, and always stops them.
# With the Windows program given too, Print Info in its window: one copy, two, Cancel and a queue
# that rejects jobs, the program running on after each.
# Usage: print_wine.sh <quorvane-print.exe> <wine prefix> [<quorvane.exe>]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
program=$1
window_program=${3:-}
export WINEPREFIX=$2 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck source=tests/e2e/x_server.sh
source "$here/x_server.sh"
# shellcheck source=tests/e2e/x_dialogs.sh
source "$here/x_dialogs.sh"
# shellcheck source=tests/e2e/print_checks.sh
source "$here/print_checks.sh"
server=$work/server
wineserver_started=""

# The print server and, for this test, the Wine server stop with the X server and the program.
stop_all() {
  [[ -n "$wineserver_started" ]] && /usr/bin/wineserver -k 2>/dev/null || true
  "$here/print_server.sh" stop "$server" || true
  cleanup
}
trap stop_all EXIT

start_x_server "$work"
"$here/print_server.sh" start "$server" || fail "the print server did not start"
export CUPS_SERVER=$server/cups.sock
queue=$("$here/print_server.sh" queue)

# A prefix of this test's own; one Wine server for all cases, as the first start costs seconds.
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  /usr/bin/wineboot -i >/dev/null 2>&1 || fail "Wine could not create its prefix"
  /usr/bin/wineserver -w
fi
/usr/bin/wineserver -p
wineserver_started=1

# The program up to its print dialog: starts it, answers OK on the message box, and sets dialog to
# the print dialog's id.
open_print_dialog() {
  /usr/bin/wine "$program" "$@" >"$work/shown.txt" 2>"$work/app.log" &
  app_pid=$!
  local box
  box=$(wait_window "Pelvaro Beta 0.95")
  keys_to "$box" Return
  wait_gone "$box"
  dialog=$(wait_window "Print")
}

# The program ends by itself once the command has ended, printed or not, without a message: once the
# print dialog has left the screen, no dialog comes up again.
expect_end() {
  local why=$1 status=0
  for _ in $(seq 300); do
    kill -0 "$app_pid" 2>/dev/null || break
    [[ -z "$(viewable_windows "Print")" ]] && break
    sleep 0.1
  done
  for _ in $(seq 300); do
    kill -0 "$app_pid" 2>/dev/null || break
    [[ -n "$(viewable_windows "Print")" || -n "$(viewable_windows "Pelvaro Beta 0.95")" ]] &&
      fail "$why: a dialog came up again"
    sleep 0.1
  done
  kill -0 "$app_pid" 2>/dev/null && fail "$why: the command did not end"
  wait "$app_pid" || status=$?
  app_pid=""
  [[ $status -eq 0 ]] || fail "$why: the program ended with status $status"
}

# A job's text as printed: Wine's printer driver writes PostScript, read through PDF.
job_text() {
  ps2pdf "$1" "$work/job.pdf" || fail "$1 is not a PostScript document"
  pdf_text "$work/job.pdf"
}

# The report expected from what the program's main window was given: its six captions in the
# report's order, then the listing.
expected_report() {
  local -a shown
  mapfile -t shown < <(sed 's/\r$//' "$work/shown.txt")
  {
    printf '%s\n' "System Information Settings" "Pelvaro" "Computer Name: ${shown[0]}" \
      "User Name:     ${shown[1]}" "Platform:      ${shown[2]}" "Win Version:   ${shown[3]}" \
      "Processor:     ${shown[4]}" "Physical RAM:  ${shown[5]}" \
      "Path Settings, Keyboard Settings, Drive Settings:"
    printf '%s\n' "${shown[@]:6}"
  } | trimmed
}

# The job's text must be the report expected; the difference is shown when it is not.
expect_report() {  # expect_report JOB WHY
  local printed
  printed=$(job_text "$1")
  if [[ "$printed" != "$expected" ]]; then
    diff <(echo "$expected") <(echo "$printed") | sed 's/^/  /' >&2 || true
    fail "$2 (< expected, > printed)"
  fi
}

# Types a number of copies into the open print dialog, whose "Number of copies" stands where Wine's
# dialog puts it.
set_copies() {
  local dx dy
  read -r dx dy < <(window_corner "$dialog")
  xdotool mousemove $((dx + 374)) $((dy + 164)) sleep 0.1 click 1
  xdotool key End BackSpace BackSpace BackSpace
  xdotool type "$1"
}

# 1. OK on the default queue: one job, the report.
open_print_dialog
keys_to "$dialog" Return
expect_end "one copy"
expect_jobs 1 "one copy"
first=$(find "$server/out" -name 'job-*')
expected=$(expected_report)
expect_report "$first" "the printed report differs from the window's captions and listing"

# 2. Two copies: two jobs, each the whole report.
open_print_dialog
set_copies 2
keys_to "$dialog" Return
expect_end "two copies"
expect_jobs 3 "two copies"
expected=$(expected_report)
copies=()
while IFS= read -r file; do copies+=("$file"); done < <(find "$server/out" -name 'job-*' ! -samefile "$first")
same_document "${copies[0]}" "${copies[1]}" || fail "the two copies differ"
expect_report "${copies[0]}" "a copy is not the report"

# 3. A listing longer than a page, with a line wider than one: every line printed, in order, the
# wide one continued on the next lines, on more than one page.
open_print_dialog long
keys_to "$dialog" Return
expect_end "a long listing"
expect_jobs 4 "a long listing"
long=$(ls -t "$server"/out/job-* | head -n1)
printed=$(job_text "$long")
pages=$(pdfinfo "$work/job.pdf" | awk '/^Pages:/ {print $2}')
[[ $pages -ge 2 ]] || fail "a long listing printed on $pages page(s)"
[[ "$(grep -E '^Line [0-9]{3}$' <<<"$printed")" == "$(seq -f 'Line %03g' 80)" ]] ||
  fail "a long listing lost or reordered lines"
wide="wide:$(printf '0123456789%.0s' $(seq 30)):end"
[[ "$(tr -d '\n' <<<"$printed")" == *"$wide"* ]] || fail "the wide line was cut"
[[ "$(grep -c '^wide:' <<<"$printed")" -eq 1 && "$(grep -cx '.*:end' <<<"$printed")" -eq 1 ]] ||
  fail "the wide line was not continued on further lines"
grep -qx "wide:$(printf '0123456789%.0s' $(seq 30)):end" <<<"$printed" &&
  fail "the wide line did not wrap"

# The program itself, when given: Print Info in its window prints the same way, and the program
# keeps running after each press.
if [[ -n "$window_program" ]]; then
  /usr/bin/wine "$window_program" >/dev/null 2>"$work/app.log" &
  app_pid=$!
  main=$(wait_window "System Information Beta 0.96")
  read -r main_x main_y < <(window_corner "$main")
  # The client area's place: the window is the same design as the Linux program's.
  print_info() { dialog=$(press_print_info "$main_x" "$main_y"); }
  still_running() {
    local why=$1
    wait_gone "$dialog"
    sleep 1
    kill -0 "$app_pid" 2>/dev/null || fail "$why: the program ended"
    [[ -z "$(viewable_windows "Print")$(viewable_windows "Pelvaro Beta 0.95")" ]] ||
      fail "$why: a dialog is on the screen"
  }
  # The report expected: the captions the console program was given on this same prefix (the
  # memory total and names do not change between runs), then the listing copied out of the window.
  xdotool mousemove $((main_x + 150)) $((main_y + 200)) sleep 0.1 click 1
  keys_to "$main" ctrl+a ctrl+c
  sleep 0.5
  timeout 10 xclip -selection clipboard -o >"$work/listing.txt" ||
    fail "the window's listing could not be copied"
  { head -n 6 "$work/shown.txt"; cat "$work/listing.txt"; } >"$work/window-shown.txt"
  mv "$work/window-shown.txt" "$work/shown.txt"
  expected=$(expected_report)
  base=$(jobs_printed)

  print_info
  keys_to "$dialog" Return
  still_running "the window, one copy"
  expect_jobs $((base + 1)) "the window, one copy"
  expect_report "$(ls -t "$server"/out/job-* | head -n1)" \
    "the window printed a report that differs from its captions and listing"

  print_info
  set_copies 2
  keys_to "$dialog" Return
  still_running "the window, two copies"
  expect_jobs $((base + 3)) "the window, two copies"
  copies=()
  while IFS= read -r file; do copies+=("$file"); done < <(ls -t "$server"/out/job-* | head -n2)
  same_document "${copies[0]}" "${copies[1]}" || fail "the window's two copies differ"
  expect_report "${copies[0]}" "a copy from the window is not the report"

  print_info
  keys_to "$dialog" Escape
  still_running "the window, Cancel"
  expect_jobs $((base + 3)) "the window, Cancel"

  print_info
  cupsreject "$queue"
  keys_to "$dialog" Return
  still_running "the window, a queue that rejects jobs"
  expect_jobs $((base + 3)) "the window, a queue that rejects jobs"
  cupsaccept "$queue"

  # Exit: Command1 at 2280,1380 twips, its middle 184,101 in the client area.
  xdotool mousemove $((main_x + 184)) $((main_y + 101)) sleep 0.1 click 1
  for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  status=0
  wait "$app_pid" || status=$?
  app_pid=""
  [[ $status -eq 0 ]] || fail "Exit after printing ended the program with status $status"
  echo "PASS (Wine, the program): Print Info printed the report from its window; 2 copies gave 2" \
    "identical jobs; Cancel and a rejecting queue printed nothing, the program running on"
fi
before=$(jobs_printed)

# 4. Cancel: nothing printed.
open_print_dialog
keys_to "$dialog" Escape
expect_end "Cancel"
expect_jobs "$before" "Cancel"

# 5. The queue stops taking jobs while the dialog is open.
open_print_dialog
cupsreject "$queue"
keys_to "$dialog" Return
expect_end "a queue that rejects jobs"
expect_jobs "$before" "a queue that rejects jobs"
cupsaccept "$queue"

# 6. The queue is deleted while the dialog is open.
open_print_dialog
lpadmin -x "$queue"
keys_to "$dialog" Return
expect_end "a deleted queue"
expect_jobs "$before" "a deleted queue"

echo "PASS (Wine): the default queue printed the report; 2 copies gave 2 identical jobs; Cancel, a" \
  "rejecting queue and a deleted queue printed nothing and ended the command silently; a long" \
  "listing continued on a second page and its wide line on further lines"
