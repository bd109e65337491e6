#!/usr/bin/env bash
# Installs what is missing, builds the Release build and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target tallyweave
exec build/release/bin/tallyweave "$@"
