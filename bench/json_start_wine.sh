#!/usr/bin/env bash
# The whole process of the Windows console program's `quorvane-cli --json` beside an empty console
# program with the same resources, under Wine in one prefix and one persistent Wine server, run
# alternating so that all see the same machine: medians of wall time, and the ratios. A third run,
# the empty program that only asks the keyboard's type (user32's call, which the facts need),
# shows how much of the difference is that library's.
# Usage: bench/json_start_wine.sh [build dir, default build/mingw] [runs, default 31]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
runs=${2:-31}
prefix=$PWD/$build/wineprefix
cmake/wine-run --prepare "$prefix"
results=$(mktemp -d)
export WINEPREFIX=$prefix WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
# One Wine server for every run, as a user's session has: the runs measure the programs, not
# Wine's own start.
/usr/bin/wineserver -k 2>/dev/null || true
/usr/bin/wineserver -p
trap '/usr/bin/wineserver -k 2>/dev/null || true; rm -rf "$results"' EXIT
/usr/bin/wineboot </dev/null >/dev/null 2>&1

run() {  # run NAME PROGRAM [ARGS...]: one whole process, its wall time in microseconds
  local name=$1 start end
  shift
  start=$(date +%s%N)
  cmake/wine-run "$prefix" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000)) >>"$results/$name"
}
for _ in 1 2 3; do  # warm the caches
  run warm "$build/app/windows/quorvane-cli.exe" --json
  run warm "$build/bench/win32/empty_console.exe"
  run warm "$build/bench/win32/empty_console.exe" --keyboard
done
for _ in $(seq "$runs"); do
  run json "$build/app/windows/quorvane-cli.exe" --json
  run empty "$build/bench/win32/empty_console.exe"
  run keyboard "$build/bench/win32/empty_console.exe" --keyboard
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
json=$(median <"$results/json")
empty=$(median <"$results/empty")
keyboard=$(median <"$results/keyboard")
printf 'quorvane-cli --json                  whole process %7.1f ms\n' "$(echo "$json / 1000" | bc -l)"
printf 'empty console                        whole process %7.1f ms\n' "$(echo "$empty / 1000" | bc -l)"
printf 'empty console asking the keyboard    whole process %7.1f ms\n' \
  "$(echo "$keyboard / 1000" | bc -l)"
printf 'ratio to the empty console: %.3f; to the one asking the keyboard: %.3f\n' \
  "$(echo "$json / $empty" | bc -l)" "$(echo "$json / $keyboard" | bc -l)"
