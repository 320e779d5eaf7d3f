#!/usr/bin/env bash
# Medians of the cold start-up work and of its raw system calls, each over fresh processes.
# Usage: bench/cold_start.sh [build dir, default build/release] [runs, default 101]
set -euo pipefail
build=${1:-build/release}
runs=${2:-101}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for mode in program raw; do
  for _ in $(seq "$runs"); do "$build/bench/cold_start" "$mode"; done | median | \
    xargs printf '%-8s cold median: %s us\n' "$mode"
done
