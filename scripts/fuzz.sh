#!/usr/bin/env bash
# Builds the libFuzzer targets (the 'fuzz' preset: clang, ASan, UBSan) and runs
# each for SECONDS (default 30) on a copy of its committed corpus, so a run
# never grows the repository. Stops with status 1 and the crash file's path
# at the first target that finds a crash.
#
#   bash scripts/fuzz.sh [SECONDS]
#
# Reproduce a finding:  build/fuzz/bin/<target> <crash file>
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || ((seconds < 1)); then
  echo "usage: bash scripts/fuzz.sh [SECONDS]" >&2
  exit 2
fi

# clang with its sanitizer and libFuzzer runtimes (scripts/setup.sh lists them).
need=()
command -v clang++ >/dev/null || need+=(clang)
dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q "install ok installed" ||
  need+=(libclang-rt-14-dev)
if ((${#need[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${need[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

echo "--- building the fuzz targets"
cmake --preset fuzz --no-warn-unused-cli >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# target  longest input  dictionary (or -)
targets=(
  "fuzz_parse_line        16384 fuzz_parse_line.dict"
  "fuzz_decode_url         4096 fuzz_decode_url.dict"
  "fuzz_delimited          4096 -"
  "fuzz_language          16384 fuzz_language.dict"
  "fuzz_engines_classify  16384 fuzz_engines_classify.dict"
  "fuzz_site_name          1024 -"
  "fuzz_load_analyse      65536 fuzz_parse_line.dict"
  "fuzz_custom_format     16384 fuzz_custom_format.dict"
  "fuzz_packed_reader      8192 -"
  "fuzz_parallel_load     65536 fuzz_parse_line.dict"
)

work="$(mktemp -d "${TMPDIR:-/tmp}/tallyweave-fuzz.XXXXXX")"
for row in "${targets[@]}"; do
  read -r target max_len dict <<<"$row"
  dir="$work/$target"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp fuzz/corpus/"$target"/* "$dir/corpus/"
  options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=25 -rss_limit_mb=2560
           -artifact_prefix="$dir/artifacts/" -print_final_stats=1)
  if [ "$dict" != "-" ]; then options+=(-dict="fuzz/$dict"); fi
  echo "--- $target: $seconds s, inputs up to $max_len bytes"
  if ! build/fuzz/bin/"$target" "${options[@]}" "$dir/corpus" >"$dir/log" 2>&1; then
    tail -n 40 "$dir/log"
    echo
    echo "FAILED: $target found a crash (full output: $dir/log)"
    for crash in "$dir"/artifacts/*; do
      [ -e "$crash" ] && echo "  crash file: $crash"
      [ -e "$crash" ] && echo "  reproduce:  build/fuzz/bin/$target $crash"
    done
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE' "$dir/log" | tail -n 1 || true
done
rm -rf "$work"
echo "--- every fuzz target ran $seconds s without a finding"
