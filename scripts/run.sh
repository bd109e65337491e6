#!/usr/bin/env bash
# Installs what is missing, builds the Release build and opens the window.
# Without arguments it opens the example log; arguments (logs to open, or
# --version / --help) are passed on, relative paths read from where it was called.
set -euo pipefail
caller="$PWD"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target tallyweave
cd "$caller"
if (($# == 0)); then
  set -- "$root/examples/www.example-shop.ru-access_log"
fi
exec "$root/build/release/bin/tallyweave" "$@"
