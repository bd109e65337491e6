#!/usr/bin/env bash
# Installs what is missing, builds the Release build and runs its tests, runs
# each fuzz target for 30 seconds, builds the sanitizer build and runs every
# test there too, then builds the ThreadSanitizer build and runs in it the
# tests that start threads (the 'tsan' test preset's filter names them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The .mmdb tests skip when this download fails; the run goes on.
bash scripts/fetch-geo-test-data.sh || true

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs="$(nproc)"

build_and_test() {
  echo "=== $1 build ==="
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" -j "$jobs"
  echo "=== $1 tests ==="
  ctest --preset "$1" -j "$jobs"
}

build_and_test release
echo "=== fuzz targets: 30 s each ==="
bash scripts/fuzz.sh 30
build_and_test asan
build_and_test tsan
