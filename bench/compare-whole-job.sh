#!/usr/bin/env bash
# Whole-job comparison on one generated log, alternated run by run:
#   tallyweave-report --report hour LOG
#   TZ=UTC goaccess LOG --no-global-config --log-format=COMBINED -o out.json
# and, given BASELINE_BIN (the bin folder of another build, with its resource
# files), that build's tallyweave-report too. Prints each run's wall time and
# peak resident memory, then the medians.
# Every run of ours starts after a pause of PAUSE seconds (default 3): on a
# virtual machine that hands freed memory back to its host, memory a process
# touches first costs more some seconds after the last process freed it, so
# each run meets memory in the same state, as a report run now and then does.
# Usage: bench/compare-whole-job.sh [LINES] [RUNS]   (needs goaccess installed)
set -euo pipefail
lines=${1:-1000000}
runs=${2:-5}
pause=${PAUSE:-3}
bin="$(cd "$(dirname "$0")/.." && pwd)/build/release/bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$work/access.log"
"$bin/tallyweave-loggen" --lines "$lines" "$log"
command -v goaccess >/dev/null || { echo "goaccess is not installed (apt-get install goaccess)"; exit 1; }

measure() {  # prints "seconds kilobytes"
  /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1
  cat "$work/time"
}
ours=() theirs=() our_kb=() before=()
for ((i = 1; i <= runs; i++)); do
  line="run $i:"
  if [[ -n "${BASELINE_BIN:-}" ]]; then
    sleep "$pause"
    read -r b _ < <(measure "$BASELINE_BIN/tallyweave-report" --report hour "$log")
    before+=("$b")
    line+=" baseline $b s,"
  fi
  sleep "$pause"
  read -r t kb < <(measure "$bin/tallyweave-report" --report hour "$log")
  ours+=("$t"); our_kb+=("$kb")
  read -r g _ < <(measure env TZ=UTC goaccess "$log" --no-global-config --log-format=COMBINED \
                    -o "$work/out.json")
  theirs+=("$g")
  echo "$line tallyweave-report $t s ($kb KB peak), goaccess $g s"
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
mo=$(median "${ours[@]}"); mg=$(median "${theirs[@]}"); mk=$(median "${our_kb[@]}")
awk -v o="$mo" -v g="$mg" -v k="$mk" -v n="$lines" 'BEGIN {
  printf "median: tallyweave-report %.2f s, goaccess %.2f s: %.1f times faster\n", o, g, g / o
  printf "tallyweave-report peak resident memory: %.1f MiB, %.1f bytes per line\n", k / 1024, k * 1024 / n
}'
if [[ -n "${BASELINE_BIN:-}" ]]; then
  awk -v b="$(median "${before[@]}")" -v g="$mg" 'BEGIN {
    printf "median: baseline %.2f s: %.1f times faster than goaccess\n", b, g / b }'
fi
