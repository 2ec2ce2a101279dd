#!/usr/bin/env bash
# Builds Tesmira in release mode with the benchmarks (folder build-bench) and
# runs every benchmark executable. Each prints one line:
#   <name>: ratio=<x> (<what it compares>)
# The ratio compares the system against a baseline measured in the same run.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
build="${TESMIRA_BENCH_DIR:-$here/build-bench}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESMIRA_BUILD_BENCH=ON \
  -DTESMIRA_BUILD_TESTS=ON > "$build.configure.log"
targets=$(cmake --build "$build" --target help | sed -n 's/^\.\.\. \(bench_[A-Za-z0-9_]*\).*/\1/p')
for target in $targets; do
  cmake --build "$build" -j "$(nproc)" --target "$target" > "$build.build.log" || {
    tail -n 40 "$build.build.log"; exit 1; }
done
export QT_QPA_PLATFORM=offscreen
# Qt wants a private runtime folder; a machine without a login session has
# none (the window benchmark would print a warning among the results).
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  export XDG_RUNTIME_DIR="$build/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
status=0
for target in $targets; do
  exe=$(find "$build" -type f -name "$target" -perm -u+x | head -n 1)
  "$exe" || status=1
done
exit $status
