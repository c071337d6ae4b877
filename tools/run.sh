#!/bin/bash
# Installs what is missing, builds, and starts the program in a window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target kurvello
exec build/kurvello n "$@"
