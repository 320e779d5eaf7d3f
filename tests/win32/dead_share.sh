#!/usr/bin/env bash
# A dead network share mapped to a drive letter does not hold up the Windows start-up: the real
# start-up listing runs under Wine with X: typed network and backed by a FUSE directory whose volume
# questions stall for a minute, and must finish within a generous limit, showing X: without a disk.
# Runs with the share alive and dead in turn and prints the median of each. With the share dead,
# the facts document is complete, X: without sizes, and its standard output closed within 3 s.
# Usage: tests/win32/dead_share.sh BUILD_DIR   (the mingw build tree holding the console program)
set -euo pipefail

readonly stall_seconds=60
readonly limit_ms=15000
readonly runs=3

if [[ "${1:-}" != "--inside" ]]; then
  [[ $# -eq 1 ]] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
  if [[ $(id -u) -ne 0 ]]; then
    echo "dead share test skipped: it needs root for a private mount namespace"
    exit 0
  fi
  if [[ ! -c /dev/fuse ]] || ! pkg-config --exists fuse3; then
    echo "dead share test skipped: no /dev/fuse or no libfuse3 (scripts/deps test installs it)"
    exit 0
  fi
  build=$(cd "$1" && pwd)
  source_dir=$(cd "$(dirname "$0")/../.." && pwd)
  work=$build/dead-share
  mkdir -p "$work/mnt"
  cc -O2 -Wall -o "$work/stalling_share" "$source_dir/tests/win32/stalling_share.c" \
    $(pkg-config --cflags --libs fuse3)

  # A prefix of its own: its server must run inside the namespace, where the mount is.
  prefix=$work/wineprefix
  "$source_dir/cmake/wine-run" --prepare "$prefix"
  if [[ "$(readlink "$prefix/dosdevices/x:" || true)" != "$work/mnt" ]]; then
    ln -sfn "$work/mnt" "$prefix/dosdevices/x:"
    WINEPREFIX=$prefix WINEDEBUG=-all /usr/bin/wine reg add 'HKLM\Software\Wine\Drives' /v x: \
      /d network /f >/dev/null 2>&1
    WINEPREFIX=$prefix /usr/bin/wineserver -w
  fi
  exec unshare -m --propagation private "$0" --inside "$build" "$work" "$prefix"
fi

build=$2
work=$3
export WINEPREFIX=$4 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
program=$build/app/windows/quorvane-cli.exe
mount_point=$work/mnt

# The share's server is spared by the helper: Wine's own server asks a new volume's kind in its
# single thread, a freeze of all of Wine that Windows does not have.
"$work/stalling_share" "$stall_seconds" "$mount_point" wineserver 2>/dev/null &
share=$!
cleanup() {
  kill -USR2 "$share" 2>/dev/null || true
  /usr/bin/wineserver -k 2>/dev/null || true
  fusermount3 -u "$mount_point" 2>/dev/null || umount -l "$mount_point" 2>/dev/null || true
  kill "$share" 2>/dev/null || true
  wait "$share" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  grep -q " $mount_point .* stalling-share " /proc/self/mountinfo && break
  sleep 0.1
done
grep -q " $mount_point .* stalling-share " /proc/self/mountinfo || { echo "FAIL: the share was not mounted"; exit 1; }

# Wine's services start while the share still answers, as on a machine that lost its server later.
/usr/bin/wineserver -p
/usr/bin/wineboot </dev/null >/dev/null 2>&1

# One run of the listing: its time in ms, its output in $work/listing-$1.txt.
run() {
  local start end
  start=$(date +%s%N)
  timeout $((stall_seconds * 7)) /usr/bin/wine "$program" --text </dev/null >"$work/listing-$1.txt" 2>&1 \
    || { echo "FAIL: the listing ended with status $? ($1 share)" >&2; touch "$work/failed"; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

median() {
  printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"
}

# The X: section of a listing, without its CR.
section() {
  tr -d '\r' <"$1" | sed -n '/^Disk X:/,/^Serial Number/p'
}

rm -f "$work/failed"
failed=0
alive=()
dead=()
for _ in $(seq "$runs"); do
  kill -USR2 "$share"
  alive+=("$(run alive)")
  kill -USR1 "$share"
  dead+=("$(run dead)")
done
kill -USR2 "$share"
[[ ! -e "$work/failed" ]] || failed=1

# Whether a process is still running (a zombie that nobody reaps has ended).
running() {
  [[ -r /proc/$1/stat ]] && [[ "$(cut -d')' -f2 </proc/$1/stat | cut -d' ' -f2)" != Z ]]
}

# The document with the share dead, read through a pipe as a fleet tool reads it: the time from the
# start until its reader sees the end, and until the process has ended.
kill -USR1 "$share"
json_start=$(date +%s%N)
{ /usr/bin/wine "$program" --json </dev/null 2>"$work/document-err.txt" & echo $! >"$work/document.pid"; } |
  { cat >"$work/document.json"; date +%s%N >"$work/document-closed"; }
closed_ms=$((($(cat "$work/document-closed") - json_start) / 1000000))
json_pid=$(cat "$work/document.pid")
for _ in $(seq $((stall_seconds * 20))); do running "$json_pid" || break; sleep 0.05; done
ended_ms=$((($(date +%s%N) - json_start) / 1000000))
kill -USR2 "$share"
if ! /usr/bin/python3 - "$work/document.json" <<'PYTHON'; then
import json, sys
drives = {drive["root"]: drive for drive in json.load(open(sys.argv[1], encoding="utf-8"))["drives"]}
# Wine asks the share itself for the drive's kind, so X: may not even tell that it is a network drive.
x = drives.get("X:\\")
if x is None or x["total_bytes"] is not None or x["label"] is not None:
    sys.exit(f"X: in the document: {x}")
if drives.get("C:\\", {}).get("total_bytes") is None:
    sys.exit("C: has no size in the document")
PYTHON
  echo "FAIL: the document with the dead share:"; cat "$work/document.json"; failed=1
fi
if ((closed_ms > 3000)); then
  echo "FAIL: the document's standard output was closed after $closed_ms ms (limit 3000 ms)"; failed=1
fi

if ! section "$work/listing-alive.txt" | grep -q 'Total disk space  = 1.073.741.824 Bytes'; then
  echo "FAIL: the live share was not sized:"; section "$work/listing-alive.txt"; failed=1
fi
if ! section "$work/listing-dead.txt" | grep -q 'Total disk space  = No disk loaded'; then
  echo "FAIL: the dead share was not shown without a disk:"; section "$work/listing-dead.txt"
  failed=1
fi
for took in "${dead[@]}"; do
  if ((took > limit_ms)); then
    echo "FAIL: a start-up with the dead share took $took ms (limit $limit_ms ms)"; failed=1
  fi
done
alive_median=$(median "${alive[@]}")
dead_median=$(median "${dead[@]}")
echo "dead share: start-up listing ${alive[*]} ms with the share alive, ${dead[*]} ms with it" \
  "stalling ${stall_seconds} s; medians $alive_median and $dead_median ms, added" \
  "$((dead_median - alive_median)) ms; --json's output closed after $closed_ms ms, the process" \
  "ended after $ended_ms ms"
exit "$failed"
