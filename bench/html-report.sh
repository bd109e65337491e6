#!/usr/bin/env bash
# The page of every report against one report, on one generated log,
# alternated run by run:
#   tallyweave-report --report hour LOG
#   tallyweave-report --report all --as html --output page.html LOG
# Prints each run's wall time, then the medians, their ratio (target: at most
# 2) and the page's size (target: under 5 MB).
# Usage: bench/html-report.sh [LINES] [RUNS]
set -euo pipefail
lines=${1:-1000000}
runs=${2:-5}
pause=${PAUSE:-3}
bin="$(cd "$(dirname "$0")/.." && pwd)/build/release/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$work/access.log"
"$bin/tallyweave-loggen" --lines "$lines" "$log"

seconds() {
  /usr/bin/time -f "%e" -o "$work/time" "$@" >/dev/null 2>&1
  cat "$work/time"
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
one=() all=()
for ((i = 1; i <= runs; i++)); do
  sleep "$pause"
  one+=("$(seconds "$bin/tallyweave-report" --report hour "$log")")
  sleep "$pause"
  all+=("$(seconds "$bin/tallyweave-report" --report all --as html --output "$work/page.html" "$log")")
  echo "run $i: hour ${one[-1]} s, every report as html ${all[-1]} s"
done
m1=$(median "${one[@]}") m2=$(median "${all[@]}")
echo "median: hour $m1 s, every report as html $m2 s, ratio $(awk -v a="$m2" -v b="$m1" 'BEGIN {printf "%.2f", a / b}')"
echo "page: $(stat -c %s "$work/page.html") bytes"
