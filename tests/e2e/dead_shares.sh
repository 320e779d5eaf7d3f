#!/usr/bin/env bash
# No share can hold the program: with real FUSE shares that never answer, stop answering on cue or
# answer after 3 seconds, in a private mount namespace, `--json` and `--text` write everything,
# close their output and end within 3 seconds, showing the shares without a disk; so they do with
# TMPDIR on a dead share, a RAM-disk below one, and a passwd source that stalls, all at once. Thirty
# live shares read by a user at a task limit all have their sizes, and the window shows within 3
# seconds and ends within 1 second of Exit. The FUSE servers are stopped by their PID at the end.
# Usage: dead_shares.sh QUORVANE FUSE_SHARE NSS_DIR   (as root; skipped without FUSE)
set -euo pipefail

readonly limit_ms=3000
readonly exit_limit_ms=1000
readonly gib=1073741824

if [[ "${1:-}" != "--inside" ]]; then
  if [[ $# -ne 3 ]]; then
    echo "dead share test skipped: libfuse3 was missing when the build was configured"
    exit 77
  fi
  if [[ $(id -u) -ne 0 ]]; then
    echo "dead share test skipped: it needs root for a private mount namespace"
    exit 77
  fi
  if [[ ! -c /dev/fuse ]]; then
    echo "dead share test skipped: no /dev/fuse"
    exit 77
  fi
  if ! unshare -m --propagation private true 2>/dev/null; then
    echo "dead share test skipped: no private mount namespace can be made here"
    exit 77
  fi
  work=$(mktemp -d)
  # The shares are mounted inside the namespace only: out here their folders are plain ones.
  trap 'rm -rf "$work"' EXIT
  status=0
  unshare -m --propagation private "$0" --inside "$work" "$@" || status=$?
  exit "$status"
fi

work=$2
program=$3
fuse_share=$4
nss=$5
failed=0
servers=()
mounted=()

fail() {
  echo "FAIL: $*"
  failed=1
}

stop_servers() {
  # The helpers a server left waiting get their answer (an error) once it is gone.
  for server in "${servers[@]}"; do
    kill "$server" 2>/dev/null || true
  done
  for server in "${servers[@]}"; do
    wait "$server" 2>/dev/null || true
  done
  for point in "${mounted[@]}"; do
    umount -l "$point" 2>/dev/null || true
  done
  servers=()
  mounted=()
}
trap stop_servers EXIT

# serve MODE POINT...: a FUSE server for the points, running until stopped; sets server.
serve() {
  local mode=$1 point
  shift
  "$fuse_share" "$mode" "$@" 2>"$work/server.log" &
  server=$!
  servers+=("$server")
  mounted+=("$@")
  for point in "$@"; do
    for _ in $(seq 100); do
      grep -qF " $point " /proc/self/mountinfo && break
      sleep 0.05
    done
    grep -qF " $point " /proc/self/mountinfo || { echo "FAIL: $point was not mounted"; exit 1; }
  done
}

# run NAME ARGS...: the program as a script runs it, its output read through a pipe to its end;
# sets took (ms, until the output closed and the program ended) and writes $work/NAME.out.
# A program held by a share cannot be killed, and holds its output open: the servers are stopped
# after 20 s instead, which lets it go.
run() {
  local name=$1 start status=0 watchdog
  shift
  (
    trap 'kill "$pause" 2>/dev/null; exit 0' TERM
    sleep 20 &
    pause=$!
    wait "$pause" && kill "${servers[@]}"
  ) >/dev/null 2>&1 &
  watchdog=$!
  start=$(date +%s%N)
  "$@" </dev/null 2>"$work/$name.err" | cat >"$work/$name.out" || status=$?
  took=$((($(date +%s%N) - start) / 1000000))
  kill "$watchdog" 2>/dev/null || true
  wait "$watchdog" 2>/dev/null || true
  [[ $status -eq 0 ]] || fail "$name: ended with status $status: $(cat "$work/$name.err")"
  ((took <= limit_ms)) || fail "$name: output closed and program ended after $took ms"
  echo "$name: $took ms"
}

# json NAME EXPRESSION: a Python expression over the document d, printed.
json() {
  /usr/bin/python3 -c 'import json, sys; d = json.load(open(sys.argv[1])); print(eval(sys.argv[2]))' \
    "$work/$1.out" "$2"
}

# The sizes of a drive in a document: "None None" where it has no disk.
sizes() {
  json "$1" "' '.join(str(x['total_bytes']) + ' ' + str(x['free_bytes']) for x in d['drives'] if x['root'] == '$2')"
}

# The listing's size lines of a disk in a --text report.
disk() {
  sed -n "/^Disk ${2//\//\\/} :\$/,/^Serial Number/p" "$work/$1.out" | grep '^Total disk space'
}

# Places of the test's own: a RAM-disk on /media, and a folder under /tmp.
mount -t tmpfs -o size=16m tmpfs /media
mkdir -p /media/live /media/stall /media/cue /media/many "$work/share"
tmp_share=$work/share

# --- Two shares that never answer, at /mnt and under /tmp, beside one that answers ---
serve silent /mnt "$tmp_share"
serve answer /media/live
run dead-json "$program" --json
run dead-text "$program" --text
[[ "$(sizes dead-json /media/live/)" == "$gib $((gib / 2))" ]] ||
  fail "--json: the live share beside the dead ones has no sizes"
for root in /mnt/ "$tmp_share/"; do
  [[ "$(sizes dead-json "$root")" == "None None" ]] || fail "--json: $root has sizes or is missing"
  [[ "$(disk dead-text "$root")" == "Total disk space  = No disk loaded" ]] ||
    fail "--text: $root shows $(disk dead-text "$root")"
done
[[ "$(json dead-json "d['directories']['temp']")" == /tmp/ ]] || fail "--json: no temp directory"
grep -q '^Serial Number' "$work/dead-text.out" || fail "--text: the listing is not whole"

# --- All at once: the dead shares, TMPDIR on one of them and a passwd source that stalls 15 s ---
printf 'passwd: stall files\ngroup: files\n' >"$work/nsswitch.conf"
mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf
mounted+=(/etc/nsswitch.conf)
run together-json env TMPDIR=/mnt/tmp LD_LIBRARY_PATH="$nss" "$program" --json
[[ "$(json together-json "d['user_name']")" == "" ]] || fail "the stalled user name is not empty"
[[ "$(json together-json "d['directories']['temp']")" == /tmp/ ]] ||
  fail "TMPDIR on a dead share is not /tmp/"
[[ "$(sizes together-json /mnt/)" == "None None" ]] || fail "the dead share has sizes"
run together-text env TMPDIR=/mnt/tmp LD_LIBRARY_PATH="$nss" "$program" --text
grep -q '^Temp Directory       = /tmp/$' "$work/together-text.out" ||
  fail "--text: TMPDIR on a dead share is not /tmp/"

# window NAME ENV...: the window started with the environment given: shown within 3 s, and its
# process ended within 1 s of a click on Exit.
window() {
  local name=$1 start shown ended window="" app
  shift
  local title="System Information Beta 0.96"
  start=$(date +%s%N)
  env "$@" "$program" >"$work/$name.log" 2>&1 &
  app=$!
  for _ in $(seq 600); do
    window=$(xwininfo -root -children 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) {print $1}' |
      head -n1)
    [[ -n "$window" ]] && xwininfo -id "$window" | grep -q "Map State: IsViewable" && break
    window=""
    kill -0 "$app" 2>/dev/null || break
    sleep 0.05
  done
  shown=$((($(date +%s%N) - start) / 1000000))
  if [[ -z "$window" ]]; then
    fail "$name: the window was not shown: $(cat "$work/$name.log")"
    kill -KILL "$app" 2>/dev/null || true
    return
  fi
  echo "$name: shown after $shown ms"
  ((shown <= limit_ms)) || fail "$name: the window was shown after $shown ms"
  # Exit: Command1's middle, 184,101 in the client area at 115,134.
  xdotool mousemove --sync $((115 + 184)) $((134 + 101)) click 1
  start=$(date +%s%N)
  for _ in $(seq 200); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.02
  done
  ended=$((($(date +%s%N) - start) / 1000000))
  if kill -0 "$app" 2>/dev/null; then
    fail "$name: the window's process did not end after Exit"
    kill -KILL "$app" 2>/dev/null || true
  else
    echo "$name: ended $ended ms after Exit"
    ((ended <= exit_limit_ms)) || fail "$name: the window's process ended $ended ms after Exit"
  fi
  wait "$app" 2>/dev/null || true
}

# --- The window with the dead shares and TMPDIR on one, started from a shell without a runtime
# directory (Qt then makes its own in TMPDIR); and with all of the above as in a desktop session,
# which has one (without it, Qt names its own after the user's passwd entry, which the program
# cannot bound).
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null; then
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" \
    2>"$work/xvfb.log" &
  servers+=("$!")
  for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
  DISPLAY=":$(head -n1 "$work/display")"
  export DISPLAY
  for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_RUNTIME_DIR
  window dead-window TMPDIR=/mnt/tmp
  mkdir -m 0700 "$work/runtime"
  window together-window XDG_RUNTIME_DIR="$work/runtime" TMPDIR=/mnt/tmp LD_LIBRARY_PATH="$nss"
else
  echo "the window's part skipped: Xvfb, xdotool or x11-utils missing"
fi
stop_servers

# --- A share that answers after 3 s, and a RAM-disk below a share that stops answering ---
serve stall:3 /media/stall
serve cue /media/cue
mount -t tmpfs -o size=1m tmpfs /media/cue/sub
mounted+=(/media/cue/sub)
kill -USR1 "$server"
run late-json env TMPDIR=/media/cue/tmp "$program" --json
[[ "$(sizes late-json /media/stall/)" == "None None" ]] || fail "the late share has sizes"
[[ "$(sizes late-json /media/cue/sub/)" == "None None" ]] ||
  fail "the RAM-disk below the silent share is missing or has sizes"
[[ "$(json late-json "d['directories']['temp']")" == /tmp/ ]] ||
  fail "TMPDIR on a silent share is not /tmp/"
stop_servers

# --- Thirty live shares, read by a user whose task limit leaves room for a helper or two ---
if [[ -n "${QUORVANE_UNDER_EMULATOR:-}" ]]; then
  echo "SKIP: thirty live shares under a task limit (qemu-user's own threads count against it)"
else
  points=()
  for i in $(seq 30); do
    mkdir -p "/media/many/$i"
    points+=("/media/many/$i")
  done
  serve answer "${points[@]}"
  # A user of its own: no other process counts against its limit.
  user=$((55000 + $$ % 5000))
  run limited-json setpriv --reuid="$user" --regid="$user" --clear-groups \
    prlimit --nproc=4 -- "$program" --json
  sized=$(json limited-json "sum(1 for x in d['drives'] if x['root'].startswith('/media/many/') and x['total_bytes'] == $gib)")
  [[ "$sized" == 30 ]] || fail "only $sized of the 30 live shares were sized under the task limit"
  stop_servers
fi

[[ $failed -eq 0 ]] && echo "PASS: no share, TMPDIR or passwd source held the program"
exit "$failed"
