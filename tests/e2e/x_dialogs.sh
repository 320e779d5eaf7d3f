# Shared by the checks that answer the program's dialogs in a real X server; sourced after
# x_server.sh, not run.

# The ids of the top-level windows that are on the screen with exactly this title.
viewable_windows() {
  local title=$1 id
  for id in $(xwininfo -root -children 2>/dev/null | awk -v t="\"$title\":" 'index($0, t) {print $1}'); do
    xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" && echo "$id"
  done
  return 0
}

# Waits up to 15 seconds for a window titled title to be on the screen and prints its id.
wait_window() {
  local title=$1 id
  for _ in $(seq 150); do
    id=$(viewable_windows "$title" | head -n1)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  fail "no window titled \"$title\" came up"
}

# Waits up to 15 seconds for the window to leave the screen.
wait_gone() {
  local id=$1
  for _ in $(seq 150); do
    xwininfo -id "$id" 2>/dev/null | grep -q "Map State: IsViewable" || return 0
    sleep 0.1
  done
  fail "window $id stayed on the screen"
}

# Gives the window the keyboard (no window manager runs to do it) and types keys into it.
keys_to() {
  local id=$1
  shift
  xdotool windowfocus "$id"
  sleep 0.2
  xdotool key "$@"
}

# The absolute position of a window's top-left corner: "x y".
window_corner() {
  xwininfo -id "$1" | awk -F': *' '/Absolute upper-left X/ {x = $2} /Absolute upper-left Y/ {y = $2}
    END {print x, y}'
}

# press_print_info X Y: presses Print Info in the main window whose client area is at X,Y (Command2
# at 2280,1020 twips, 975 x 285: its middle is 184,77 in the client area), answers the message box
# with OK and prints the print dialog's id.
press_print_info() {
  xdotool mousemove $(($1 + 184)) $(($2 + 77)) sleep 0.1 click 1
  local box
  box=$(wait_window "Pelvaro Beta 0.95")
  keys_to "$box" Return
  wait_gone "$box"
  wait_window "Print"
}
