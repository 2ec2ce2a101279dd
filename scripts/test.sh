#!/usr/bin/env bash
# Builds Tesmira with its tests and runs every test through CTest under the
# offscreen Qt platform. Installs missing Debian packages first. The exit
# status is the tests'.
#
#   ./scripts/test.sh [--sanitize] [ctest arguments...]
#
# --sanitize builds into its own folder (build-sanitize) with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every suite under
# them, leak checking on: any finding fails the suite that trips it.
# TESMIRA_BUILD_DIR chooses the build folder; CMake takes a compiler
# launcher such as ccache from CMAKE_CXX_COMPILER_LAUNCHER when it is set.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

sanitize=0
if [ "${1:-}" = "--sanitize" ]; then
  sanitize=1
  shift
fi

./scripts/install-deps.sh

options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESMIRA_BUILD_TESTS=ON)
if [ "$sanitize" = 1 ]; then
  build="${TESMIRA_BUILD_DIR:-$here/build-sanitize}"
  options+=(-DTESMIRA_SANITIZE=ON)
  # Leak checking at exit. The suppression file lists the only allocations
  # allowed to stay, each with its reason.
  export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
  export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
  export UBSAN_OPTIONS="print_stacktrace=1:${UBSAN_OPTIONS:-}"
else
  build="${TESMIRA_BUILD_DIR:-$here/build}"
fi

cmake -S "$here" -B "$build" "${options[@]}"
cmake --build "$build" -j "$(nproc)"
if [ "$sanitize" = 1 ]; then
  # A build a test makes of its own (a host project built against the
  # installed library) gets the same instrumentation: a program without the
  # sanitizer runtime cannot load the sanitized library.
  flags="$(sed -n 's/^TESMIRA_SANITIZER_FLAGS:INTERNAL=//p' "$build/CMakeCache.txt" | tr ';' ' ')"
  export CFLAGS="$flags" CXXFLAGS="$flags" LDFLAGS="$flags"
fi

export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j 1 "$@"
