#!/usr/bin/env bash
# Downloads a small country database in the .mmdb format for the tests of the
# .mmdb lookup, from the npm registry's @ip-location-db/geo-whois-asn-country-mmdb
# package, into build/geo-test-data/ (or the folder given as $1). Nothing is
# committed; the tests skip with a message when the file is absent.
# Exits with 0 even when the download fails, so a test run without a network
# goes on.
set -uo pipefail
cd "$(dirname "$0")/.."

package="@ip-location-db/geo-whois-asn-country-mmdb"
target="${1:-build/geo-test-data}"
mkdir -p "$target" || exit 0
if ls "$target"/*.mmdb >/dev/null 2>&1; then
  echo "geo test data: already in $target"
  exit 0
fi

latest="$(curl -fsSL --max-time 30 "https://registry.npmjs.org/$package/latest")" || {
  echo "geo test data: could not reach the npm registry; the .mmdb tests will skip"
  exit 0
}
tarball="$(printf '%s' "$latest" | python3 -c 'import json, sys; print(json.load(sys.stdin)["dist"]["tarball"])' 2>/dev/null)"
if [ -z "$tarball" ]; then
  echo "geo test data: no tarball address in the registry's answer; the .mmdb tests will skip"
  exit 0
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
if curl -fsSL --max-time 300 -o "$work/package.tgz" "$tarball" &&
   tar -xzf "$work/package.tgz" -C "$work"; then
  find "$work/package" -name '*.mmdb' -exec cp {} "$target"/ \;
  echo "geo test data: $(ls "$target") in $target"
else
  echo "geo test data: download of $tarball failed; the .mmdb tests will skip"
fi
exit 0
