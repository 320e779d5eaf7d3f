#!/usr/bin/env bash
# The start-up work (Form_Load on the real backend, one cold process each) with thousands of mounts,
# beside df on the same mount namespace: 0, 1,000, 3,000 and 10,000 tmpfs under /mnt, and 6,000
# bind mounts of a directory of the root filesystem. Each scenario runs in a private mount
# namespace of its own, so nothing leaks to the machine. Needs root. Medians over alternating runs.
# "floor" is the least any listing of the visible drives with their sizes must do in the same
# namespace (bench/mount_floor): read the mount table once, then one statx and one statfs of each
# mount point, without checking that both saw the same filesystem. That is what df asks too.
# Usage: bench/mounts.sh [build dir, default build/release] [runs, default 11]
set -euo pipefail
build=$(realpath "${1:-build/release}")
runs=${2:-11}
if [[ $(id -u) -ne 0 ]]; then
  echo "bench/mounts.sh needs root for private mount namespaces; skipped" >&2
  exit 0
fi
for program in cold_start mount_many mount_floor; do
  [[ -x "$build/bench/$program" ]] || { echo "build $build/bench/$program first" >&2; exit 1; }
done

# scenario NAME SETUP: prints "NAME form_load_us df_us drives floor_us table_us looked_us" (medians
# of runs; table_us: reading the mount table alone; looked_us: that and one statx of each point).
scenario() {
  local name=$1 setup=$2
  unshare -m --propagation private bash -c '
    set -euo pipefail
    build=$1 runs=$2 setup=$3
    mount -t tmpfs -o size=1m tmpfs /mnt
    mkdir -p /mnt/t
    eval "$setup"
    median() { sort -n | awk "{ v[NR] = \$1 } END { print v[int((NR + 1) / 2)] }"; }
    "$build/bench/cold_start" >/dev/null  # warm the caches
    df >/dev/null
    : >/tmp/.form.$$; : >/tmp/.df.$$; : >/tmp/.floor.$$; : >/tmp/.table.$$; : >/tmp/.looked.$$
    for _ in $(seq "$runs"); do
      "$build/bench/cold_start" | cut -d" " -f1 >>/tmp/.form.$$
      start=$(date +%s%N); df >/dev/null; end=$(date +%s%N)
      echo $(((end - start) / 1000)) >>/tmp/.df.$$
      read -r table looked floor _ < <("$build/bench/mount_floor")
      echo "$floor" >>/tmp/.floor.$$
      echo "$table" >>/tmp/.table.$$
      echo "$looked" >>/tmp/.looked.$$
    done
    drives=$(df --output=target | wc -l)
    echo "$(median </tmp/.form.$$) $(median </tmp/.df.$$) $drives $(median </tmp/.floor.$$) \
$(median </tmp/.table.$$) $(median </tmp/.looked.$$)"
    rm -f /tmp/.form.$$ /tmp/.df.$$ /tmp/.floor.$$ /tmp/.table.$$ /tmp/.looked.$$
  ' scenario "$build" "$runs" "$setup" | sed "s/^/$name /"
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
{
  scenario 0 ':'
  for count in 1000 3000 10000; do
    scenario "$count" "\"\$build/bench/mount_many\" tmpfs $count /mnt/t"
  done
  scenario binds6000 "\"\$build/bench/mount_many\" bind 6000 /mnt/t /usr/share"
} >"$results"

printf '%-10s %12s %10s %8s %14s %10s\n' mounts "Form_Load ms" "df ms" ratio "us per drive" \
  "floor ms"
while read -r name form df drives floor table looked; do
  base=$(awk '$1 == "0" { print $2 }' "$results")
  per=""
  if [[ $name =~ ^[0-9]+$ && $name != 0 ]]; then
    per=$(echo "($form - $base) / $name" | bc -l)
  fi
  printf '%-10s %12.1f %10.1f %8.3f %14s %10.1f\n' "$name" "$(echo "$form / 1000" | bc -l)" \
    "$(echo "$df / 1000" | bc -l)" "$(echo "$form / $df" | bc -l)" \
    "$([[ -n $per ]] && printf '%.2f' "$per")" "$(echo "$floor / 1000" | bc -l)"
done <"$results"
per1000=$(awk '$1 == "1000" { print $2 }' "$results")
per10000=$(awk '$1 == "10000" { print $2 }' "$results")
base=$(awk '$1 == "0" { print $2 }' "$results")
binds=$(awk '$1 == "binds6000" { print $2 }' "$results")
printf 'cost per drive at 10,000 / at 1,000: %.3f (target <= 1.3)\n' \
  "$(echo "(($per10000 - $base) / 10000) / (($per1000 - $base) / 1000)" | bc -l)"
printf '6,000 binds add: %.1f ms (target <= 10), of which reading their lines of the table: %.1f ms\n' \
  "$(echo "($binds - $base) / 1000" | bc -l)" \
  "$(echo "($(awk '$1 == "binds6000" { print $6 }' "$results") - $(awk '$1 == "0" { print $6 }' "$results")) / 1000" | bc -l)"
printf 'Form_Load / df at 10,000: %.3f (target <= 0.5)\n' \
  "$(echo "$per10000 / $(awk '$1 == "10000" { print $3 }' "$results")" | bc -l)"
at10000() { awk -v field="$1" '$1 == "10000" { print $field }' "$results"; }
printf 'at 10,000 / df: floor %.3f, without the sizes %.3f, the table alone %.3f\n' \
  "$(echo "$(at10000 5) / $(at10000 3)" | bc -l)" "$(echo "$(at10000 7) / $(at10000 3)" | bc -l)" \
  "$(echo "$(at10000 6) / $(at10000 3)" | bc -l)"
