#!/usr/bin/env bash
# The whole process of `quorvane --json` beside the whole process of bench/cold_start (the same
# start-up work with nothing shown, no Qt), run alternating so that both see the same machine:
# medians of wall time, and their ratio.
# Usage: bench/json_start.sh [build dir, default build/release] [runs, default 101]
set -euo pipefail
build=${1:-build/release}
runs=${2:-101}
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
run() {  # run NAME COMMAND...: one whole process, its wall time in microseconds appended to NAME
  local name=$1 start end
  shift
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  echo $(((end - start) / 1000)) >>"$results/$name"
}
export -n DISPLAY WAYLAND_DISPLAY
for _ in 1 2 3; do  # warm the caches
  run warm "$build/app/quorvane" --json
  run warm "$build/bench/cold_start"
done
for _ in $(seq "$runs"); do
  run json "$build/app/quorvane" --json
  run cold_start "$build/bench/cold_start"
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
json=$(median <"$results/json")
cold=$(median <"$results/cold_start")
printf 'quorvane --json   whole process %7.2f ms\n' "$(echo "$json / 1000" | bc -l)"
printf 'bench/cold_start  whole process %7.2f ms\n' "$(echo "$cold / 1000" | bc -l)"
printf 'ratio: %.3f\n' "$(echo "$json / $cold" | bc -l)"
