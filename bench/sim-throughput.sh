#!/usr/bin/env bash
# Times mascot-sim over a 1,000,000-tick run (random mode 16, the cursor moving every 1,000 ticks)
# written to /dev/null, several times over; prints the median, minimum and maximum wall time and
# the CSV rows per second at the median.
# Usage: bench/sim-throughput.sh [path/to/mascot-sim] [repetitions]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
sim=${1:-$root/build-bench/host/sim/mascot-sim}
repetitions=${2:-10}
script=$(mktemp)
trap 'rm -f "$script"' EXIT
{
  echo "seed 1"
  echo "command 32795"
  for i in $(seq 0 999); do
    echo "run 1000 $((100 + i * 37 % 900)) $((100 + i * 53 % 600)) $((1000 + i * 10000)) 10"
  done
} >"$script"
rows=$(("$sim" "$script" | wc -l) )
rows=$((rows - 1))  # the header
times=()
"$sim" "$script" >/dev/null  # warm the caches
for _ in $(seq "$repetitions"); do
  start=$(date +%s%N)
  "$sim" "$script" >/dev/null
  times+=($(( $(date +%s%N) - start )))
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
median=$(echo "$sorted" | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
min=$(echo "$sorted" | head -1)
max=$(echo "$sorted" | tail -1)
awk -v rows="$rows" -v med="$median" -v min="$min" -v max="$max" -v n="$repetitions" 'BEGIN {
  printf "mascot-sim, %d rows, %d runs: median %.1f ms (min %.1f, max %.1f), %.2f million rows/s\n",
         rows, n, med / 1e6, min / 1e6, max / 1e6, rows / (med / 1e9) / 1e6 }'
