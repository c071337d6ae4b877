#!/bin/bash
# Installs what is missing, then builds the page and runs its tests alone: the page in
# Chromium, Firefox ESR and WebKit against the native program (ctest's e2e_web). The page
# is built with emcmake in DIR/web.
# Usage: tools/web_test.sh [DIR]   (default build, the normal build of tools/test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh test
dir=${1:-build}
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVELLO_WEB=ON
cmake --build "$dir" -j"$(nproc)" --target kurvello kurvello_web kurvello_replay
(cd "$dir" && ctest --output-on-failure -R '^e2e_web$')
