#!/usr/bin/env bash
# Runs two builds of tallyweave-report on the same logs, for every report and
# a few sets of choices, and reports any difference in the table, the standard
# error, the exit status or the reject file. For checking that a change keeps
# every output byte for byte:
#
#   scripts/compare-outputs.sh OLD/bin/tallyweave-report NEW/bin/tallyweave-report LOG...
set -uo pipefail
if [ $# -lt 3 ]; then
  echo "usage: $0 OLD_REPORT_BINARY NEW_REPORT_BINARY LOG..." >&2
  exit 2
fi
old=$1 new=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The report names: the help's lines from "--report NAME" up to "--requests",
# without the closing "or all (...)", which names no single report.
reports=$("$new" --help | sed -n '/^  --report NAME/,/^  --requests/p' | sed '$d' |
  sed -e 's/--report NAME//' -e 's/(default)//' -e '/^ *or all/d' | tr ',' ' ')
choices=(
  ""
  "--requests all --crawlers"
  "--requests no-graphics"
  "--from 2000-01-01"
  "--month 2015-05"
  "--section /images"
  "--section /nonexistent"
)
differences=0 runs=0
run() {  # build side log report choice
  local dir="$work/$2" out="$work/$2.out"
  mkdir -p "$dir"
  cp -f "$3" "$dir/"
  local log="$dir/$(basename "$3")"
  rm -f "$log.err"
  # shellcheck disable=SC2086
  "$1" --report "$4" $5 "$log" >"$out.csv" 2>"$out.stderr"
  echo "exit $?" >>"$out.stderr"
  sed -i "s#$dir#LOGDIR#g" "$out.stderr"
  if [ -f "$log.err" ]; then cat "$log.err" >"$out.err"; else : >"$out.err"; fi
}
for log in "$@"; do
  for report in $reports; do
    for choice in "${choices[@]}"; do
      run "$old" old "$log" "$report" "$choice"
      run "$new" new "$log" "$report" "$choice"
      runs=$((runs + 1))
      for part in csv stderr err; do
        if ! cmp -s "$work/old.out.$part" "$work/new.out.$part"; then
          echo "DIFFERS: $(basename "$log") --report $report $choice ($part)"
          differences=$((differences + 1))
        fi
      done
    done
  done
done
echo "$runs runs, $differences differences"
[ "$differences" -eq 0 ]
