#!/usr/bin/env bash
# Installs what is missing, builds the Release and the sanitizer builds, runs
# every test in both, and then each fuzz target for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs="$(nproc)"
for preset in release asan; do
  echo "=== $preset build ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset tests ==="
  ctest --preset "$preset" -j "$jobs"
done

echo "=== fuzz targets: 30 s each ==="
bash scripts/fuzz.sh 30
