#!/usr/bin/env bash
# Start to shown of the Windows program beside an empty Win32 window of the same size, under Wine in
# one X server and one Wine prefix, runs alternating so that all see the same machine: medians of
# wall time (starting wine to the process's end, which each ends once its window is drawn), of the
# time from the process's creation to shown, of the processor time used until then (less disturbed
# than the elapsed times when the machine is busy) and of the peak working set, as each reports
# them. Also the size of the program file. A third run, the empty window that first loads the common
# controls 6 (which the program needs and the plain empty window does not), shows how much of the
# difference is theirs; the ratios are given against both.
# Usage: bench/startup_wine.sh [build dir, default build/mingw] [runs, default 21]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
runs=${2:-21}
prefix=$PWD/$build/wineprefix
cmake/wine-run --prepare "$prefix"

results=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$results/display" 2>/dev/null &
xvfb=$!
trap '/usr/bin/wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$results"' EXIT
for _ in $(seq 100); do [[ -s "$results/display" ]] && break; sleep 0.1; done
export QUORVANE_WINE_DISPLAY=":$(head -1 "$results/display")" WINEPREFIX=$prefix WINEDEBUG=-all
# One Wine server for every run, as a user's session has: the runs measure the program, not
# Wine's own start.
/usr/bin/wineserver -k 2>/dev/null || true
DISPLAY=$QUORVANE_WINE_DISPLAY /usr/bin/wineserver -p
DISPLAY=$QUORVANE_WINE_DISPLAY /usr/bin/wineboot </dev/null >/dev/null 2>&1

run() {  # run NAME: one start, appends "wall-us kilobytes shown-ms processor-ms" to NAME
  local start end reported program=$1 arguments=()
  if [[ $1 == *+common_controls ]]; then
    program=${1%+common_controls}
    arguments=(--common-controls)
  fi
  start=$(date +%s%N)
  reported=$(cmake/wine-run "$prefix" "$build/bench/win32/$program.exe" "${arguments[@]}" \
    2>/dev/null | tr -d '\r')
  end=$(date +%s%N)
  echo "$(((end - start) / 1000)) $reported" >>"$results/$1"
}
programs=(empty_window empty_window+common_controls startup_program)
for program in "${programs[@]}"; do run "$program"; done  # warm the caches
for program in "${programs[@]}"; do : >"$results/$program"; done
for _ in $(seq "$runs"); do for program in "${programs[@]}"; do run "$program"; done; done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for program in "${programs[@]}"; do
  time_us=$(cut -d' ' -f1 "$results/$program" | median)
  peak_kb=$(cut -d' ' -f2 "$results/$program" | median)
  shown_ms=$(cut -d' ' -f3 "$results/$program" | median)
  cpu_ms=$(cut -d' ' -f4 "$results/$program" | median)
  printf '%-30s wall %6.1f ms   created to shown %4d ms   processor %4d ms' \
    "$program" "$(echo "$time_us / 1000" | bc -l)" "$shown_ms" "$cpu_ms"
  printf '   peak working set %6d KiB\n' "$peak_kb"
  echo "$time_us $peak_kb $shown_ms $cpu_ms" >"$results/$program.median"
done
ratio() {  # ratio REFERENCE NAME: the program's medians over the reference's
  local empty_us empty_kb empty_ms empty_cpu program_us program_kb program_ms program_cpu
  read -r empty_us empty_kb empty_ms empty_cpu <"$results/$1.median"
  read -r program_us program_kb program_ms program_cpu <"$results/startup_program.median"
  printf 'ratio to %-30s wall %.3f, created to shown %.3f, processor %.3f,' "$2:" \
    "$(echo "$program_us / $empty_us" | bc -l)" "$(echo "$program_ms / $empty_ms" | bc -l)" \
    "$(echo "$program_cpu / $empty_cpu" | bc -l)"
  printf ' peak working set %.3f\n' "$(echo "$program_kb / $empty_kb" | bc -l)"
}
ratio empty_window "the empty window"
ratio empty_window+common_controls "the empty window + controls 6"
size=$(stat -c %s "$build/app/windows/quorvane.exe")
printf 'quorvane.exe: %d bytes (%.2f MB)\n' "$size" "$(echo "$size / 1048576" | bc -l)"
