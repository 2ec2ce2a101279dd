#!/usr/bin/env bash
# Builds the fuzz targets (clang with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer; folder build-fuzz) and runs each one for the
# given number of seconds (default 30), starting from its seeds
# (fuzz/corpus/<name>) and its regression cases (fuzz/regressions/<name>).
# Installs missing Debian packages first, clang and libFuzzer included.
#
#   ./scripts/fuzz.sh [seconds] [target names...]
#
# Prints one line per target: "<name>: <n> executions in <s> s, clean", or
# the broken property and the input that broke it. An input that broke a
# property belongs in fuzz/regressions/<name>/ (named for what it broke),
# where the ordinary test run replays it once the fault is mended.
# TESMIRA_FUZZ_BUILD_DIR chooses the build folder.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-30}"
shift || true

"$here/scripts/install-deps.sh" clang libclang-rt-dev

build="${TESMIRA_FUZZ_BUILD_DIR:-$here/build-fuzz}"
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTESMIRA_FUZZ=ON -DTESMIRA_BUILD_TESTS=OFF > "$build/configure.log"
if [ $# -gt 0 ]; then
  targets=$(printf 'fuzz_%s\n' "$@")
else
  targets=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(fuzz_[a-z_]*\).*/\1/p')
fi
# shellcheck disable=SC2086
cmake --build "$build" -j "$(nproc)" --target $targets > "$build/build.log" 2>&1 || {
  tail -n 40 "$build/build.log"
  exit 1
}

export LSAN_OPTIONS="suppressions=$here/scripts/lsan.supp:print_suppressions=0:${LSAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:${UBSAN_OPTIONS:-}"
status=0
for target in $targets; do
  name="${target#fuzz_}"
  corpus="$build/corpus/$name"    # grows with what the run finds
  findings="$build/findings/$name"
  log="$build/$name.log"
  mkdir -p "$corpus" "$findings" "$here/fuzz/regressions/$name"
  if "$build/bin/$target" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "$here/fuzz/corpus/$name" \
    "$here/fuzz/regressions/$name" > "$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$name: ${runs:-?} executions in $seconds s, clean"
  else
    status=1
    echo "$name: FAILED (log: $log)"
    grep -E 'property broken|raised an error|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error' "$log" | head -n 5
    grep -E '^(artifact_prefix|Test unit written to)' "$log" | tail -n 1
  fi
done
exit $status
