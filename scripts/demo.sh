#!/usr/bin/env bash
# Builds what is missing and starts the reference host on the embedded demo
# database. Without a display it opens every window in turn and writes a
# screenshot of each to demo-shots/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

./scripts/install-deps.sh

build="${TESMIRA_DEMO_BUILD_DIR:-$here/build-demo}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESMIRA_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target tesmira tesmira-host tesmira-dbinit

# Installed into a folder of the build as a site installs it; the installed
# configuration names the embedded database under it (var/lib/tesmira).
stage="$build/stage"
cmake --install "$build" --prefix "$stage" > /dev/null
bin="$stage/bin"
rm -f "$stage/var/lib/tesmira/tesmira.db"
"$bin/tesmira-dbinit" --demo-data

host_args=(--user "${TESMIRA_DEMO_USER:-Chief}" --operator "${TESMIRA_DEMO_OPERATOR:-管理员}")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  rm -rf "$here/demo-shots"
  QT_QPA_PLATFORM=offscreen "$bin/tesmira-host" "${host_args[@]}" --screenshot "$here/demo-shots"
  echo "Screenshots of every window are in $here/demo-shots/"
else
  exec "$bin/tesmira-host" "${host_args[@]}" "$@"
fi
