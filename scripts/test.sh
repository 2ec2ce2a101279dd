#!/usr/bin/env bash
# Builds Tesmira with its tests and runs every test through CTest under the
# offscreen Qt platform. Installs missing Debian packages first. The exit
# status is the tests'.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

./scripts/install-deps.sh

build="${TESMIRA_BUILD_DIR:-$here/build}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMIRA_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j 1 "$@"
