#!/usr/bin/env bash
# The Windows program under Wine in an X server, started as a user starts it: its program file, its
# window found by title and measured, colours from a screenshot, Tab and Shift+Tab (entering the
# listing at its start, nothing selected), the listing copied out of the text box with Ctrl+A and
# Ctrl+C, the timer's ticks, the names a screen reader hears, and the three ways out (Return on
# Exit, a click on Exit, the close box), each ending the process with status 0.
# Usage: program_under_x.sh WINE-RUN PREFIX QUORVANE.EXE WINDOW-READER.EXE SKY.BMP
# Needs QUORVANE_WINE_DISPLAY, the X server scripts/stages/30-wine starts; skipped (77) without it.
set -euo pipefail
wine_run=$1 prefix=$2 program=$3 reader=$4 sky=$5
if [[ -z "${QUORVANE_WINE_DISPLAY:-}" ]]; then
  echo "no X server given in QUORVANE_WINE_DISPLAY: skipped"
  exit 77
fi
export DISPLAY=$QUORVANE_WINE_DISPLAY
work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
expect() {  # expect WHAT GOT WANTED
  [[ "$2" == "$3" ]] || fail "$1: got '$2', wanted '$3'"
}
inspect() { "$wine_run" "$prefix" "$reader" "$@"; }
start() {
  "$wine_run" "$prefix" "$program" &
  pid=$!
  inspect find
  # Shown to Windows programs, and mapped in the X server, where the test's input comes from.
  xdotool search --sync --onlyvisible --name '^System Information Beta 0\.96$' >/dev/null
}
ends_with_zero() {  # ends_with_zero HOW: the program must end within 10 s with status 0
  local status=0
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "$1 did not end the program"
    kill "$pid"
  fi
  wait "$pid" || status=$?
  pid=
  expect "exit status after $1" "$status" 0
}

# The program file: small, and importing only DLLs that every Windows has.
while read -r dll; do
  case "${dll,,}" in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | comctl32.dll | comdlg32.dll | \
      msvcrt.dll) ;;
    *) fail "imports $dll, which Windows does not carry" ;;
  esac
done < <(x86_64-w64-mingw32-objdump -p "$program" | awk '/DLL Name:/ { print $3 }')
size=$(stat -c %s "$program")
((size <= 1500 * 1024)) || fail "the program file has $size bytes"

start
read -r left top width height exit_x exit_y < <(inspect where | tr -d '\r')
# Xvfb and the test prefix run at 96 DPI, where the design's twips are whole pixels.
expect "client area" "$left $top $width $height" "115 134 413 274"

# Keyboard: the focus starts in Text1; Tab and Shift+Tab go round Text1, Exit, Print Info.
window=$(xdotool search --name '^System Information Beta 0\.96$' | head -1)
xdotool windowfocus --sync "$window"
expect "focus at start" "$(inspect focus | tr -d '\r')" Text1
focus_after() { xdotool key "$1"; sleep 0.2; inspect focus | tr -d '\r'; }
expect "focus after Tab" "$(focus_after Tab)" Command1
expect "focus after Tab" "$(focus_after Tab)" Command2
expect "focus after Tab" "$(focus_after Tab)" Text1
expect "focus after Shift+Tab" "$(focus_after shift+Tab)" Command2
expect "focus after Shift+Tab" "$(focus_after shift+Tab)" Command1
expect "focus after Shift+Tab" "$(focus_after shift+Tab)" Text1
# The caret at the start of the listing, nothing selected, its first line in view.
expect "Text1's selection and first line after Shift+Tab" "$(inspect caret | tr -d '\r')" "0 0 0"
xdotool key ctrl+End
sleep 0.2
read -r start _ first < <(inspect caret | tr -d '\r')
((start > 0 && first > 0)) || fail "Ctrl+End left the caret at $start and line $first in view"
xdotool key Tab Tab Tab
sleep 0.2
expect "focus after Tab from the listing's end" "$(inspect focus | tr -d '\r')" Text1
expect "Text1's selection and first line after Tab" "$(inspect caret | tr -d '\r')" "0 0 0"

# The listing, copied as a user copies it; inside Wine with CR LF, in the X clipboard as lines.
xdotool key ctrl+a ctrl+c
sleep 0.5
inspect listing "Z:$work/listing.txt" || fail "the copied listing (above)"
xclip -o -selection clipboard >"$work/x-clipboard.txt" || fail "nothing on the X clipboard"
if ! diff <(tr -d '\r' <"$work/listing.txt") <(cat "$work/x-clipboard.txt") >&2; then
  fail "the X clipboard's lines differ from the text box's"
fi

inspect ticks || fail "the timer's ticks (above)"
inspect names || fail "what assistive technology hears (above)"

# Colours from the screen: the sky's own pixels outside the controls, the text box black.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -1; }
import -window root "$work/shot.png"
for point in "4 4" "100 20" "405 140" "5 265" "400 268"; do
  read -r x y <<<"$point"
  expect "sky at $x,$y" "$(pixel "$work/shot.png" $((left + x)) $((top + y)))" \
    "$(pixel "$sky" "$x" "$y")"
done
expect "text box at 380,160" "$(pixel "$work/shot.png" $((left + 380)) $((top + 160)))" "#000000"
# The screenshot takes the X input focus for a moment; a click on the sky gives it back.
xdotool mousemove $((left + 4)) $((top + 4)) click 1
sleep 0.2

# Return on the focused Exit button.
expect "focus back in the window" "$(inspect focus | tr -d '\r')" Text1
xdotool key Tab
sleep 0.2
expect "focus before Return" "$(inspect focus | tr -d '\r')" Command1
xdotool key Return
ends_with_zero "Return on Exit"

start
xdotool mousemove "$exit_x" "$exit_y" click 1
ends_with_zero "a click on Exit"

start
inspect close
ends_with_zero "the close box"

((failures == 0))
