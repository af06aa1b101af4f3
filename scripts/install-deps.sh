#!/usr/bin/env bash
# Installs, through apt, whatever Korvalo needs to build, run and test and is
# not on this machine yet. Safe to run again: it installs only what is missing.
# --fuzz adds what scripts/fuzz.sh needs (clang and its libFuzzer runtime).
set -euo pipefail

packages=(
  g++ cmake make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  libcurl4-openssl-dev libsqlite3-dev qt6-httpserver-dev qt6-websockets-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-dejavu-core fonts-noto-core
  xdg-utils desktop-file-utils appstream
  xvfb xauth x11-utils imagemagick
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
