#!/bin/bash
# Installs what is missing, builds, and starts the program in a window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh run
# Only what the program needs: its run packages bring no test framework.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVELLO_TESTS=OFF -DKURVELLO_BENCH=OFF \
  -DKURVELLO_WEB=OFF
cmake --build build -j"$(nproc)" --target kurvello
exec build/kurvello n "$@"
