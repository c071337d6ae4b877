#!/bin/bash
# Installs the Debian packages that building, running and testing need, when any is missing.
set -euo pipefail

PACKAGES=(
  cmake g++ make pkg-config libsdl1.2-dev
  googletest libgtest-dev libbenchmark-dev
  xvfb xdotool x11-apps x11-utils imagemagick python3
  clang libclang-rt-14-dev
  emscripten chromium python3-websocket
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
