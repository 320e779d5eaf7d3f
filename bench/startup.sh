#!/usr/bin/env bash
# Start to shown for the program beside an empty Qt window of the same size, in one X server, runs
# alternating so that both see the same machine: medians of wall time and of peak resident memory.
# Usage: bench/startup.sh [build dir, default build/release] [runs, default 31]
set -euo pipefail
build=${1:-build/release}
runs=${2:-31}
results=$(mktemp -d)
# Xvfb picks a free display itself and writes its number to the descriptor.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$results/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$results"' EXIT
for _ in $(seq 50); do [[ -s "$results/display" ]] && break; sleep 0.1; done
display=":$(head -n1 "$results/display")"
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display QT_QPA_PLATFORM=xcb
run() {  # run NAME: one start, appends "milliseconds kilobytes" to the NAME file
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$results/rss" "$build/bench/$1" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(((end - start) / 1000)) $(cat "$results/rss")" >>"$results/$1"
}
for program in empty_window startup_program; do run "$program"; done  # warm the caches
: >"$results/empty_window"; : >"$results/startup_program"
for _ in $(seq "$runs"); do run empty_window; run startup_program; done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for program in empty_window startup_program; do
  time_us=$(cut -d' ' -f1 "$results/$program" | median)
  rss_kb=$(cut -d' ' -f2 "$results/$program" | median)
  printf '%-16s start to shown %6.1f ms   peak memory %6d KiB\n' "$program" \
    "$(echo "$time_us / 1000" | bc -l)" "$rss_kb"
  echo "$time_us $rss_kb" >"$results/$program.median"
done
read -r empty_us empty_kb <"$results/empty_window.median"
read -r program_us program_kb <"$results/startup_program.median"
printf 'ratio: time %.3f, memory %.3f\n' "$(echo "$program_us / $empty_us" | bc -l)" \
  "$(echo "$program_kb / $empty_kb" | bc -l)"
