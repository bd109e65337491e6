#!/usr/bin/env bash
# Installs, with apt-get, whatever the build, the tests and the program need and
# this machine lacks. Safe to run again: installed packages are skipped.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev
  zlib1g-dev libbz2-dev liblzma-dev libzstd-dev gzip bzip2 xz-utils zstd
  libmaxminddb-dev libgeoip-dev geoip-database
  libicu-dev
  nlohmann-json3-dev
  tidy chromium
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev
  fonts-dejavu-core fonts-wqy-microhei
  curl ca-certificates
  clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
