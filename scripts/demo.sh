#!/usr/bin/env bash
# Builds what is missing and starts the reference host on the embedded demo
# database. Without a display it opens every window in turn and writes a
# screenshot of each to demo-shots/, with the code table PDF of each window
# that prints one and a picture of its first page, the demo catalogue as
# exported (CSV and XLSX), and the exchange window previewing a small price
# list.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

./scripts/install-deps.sh

build="${TESMIRA_DEMO_BUILD_DIR:-$here/build-demo}"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESMIRA_BUILD_TESTS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target tesmira tesmira-host tesmira-dbinit \
  tesmira-catalog

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
  shots="$here/demo-shots"
  mkdir -p "$shots"
  "$bin/tesmira-catalog" export "$shots/demo-catalogue.csv"
  "$bin/tesmira-catalog" export "$shots/demo-catalogue.xlsx"
  # What the exchange window previews in its picture: a price change, an
  # unchanged row, a new item and a row refused for its unknown category.
  printf '%s\r\n' "种类,编号,名称,类别,单价" "项目,000001,身高,一般检查,5" \
    "项目,000002,体重,一般检查,0" "项目,900001,骨密度,一般检查,80" \
    "项目,900002,听力筛查,没有这个类别,10" > "$shots/preview-price-list.csv"
  QT_QPA_PLATFORM=offscreen "$bin/tesmira-host" "${host_args[@]}" --screenshot "$shots" \
    --print "$shots" --preview "$shots/preview-price-list.csv"
  for pdf in "$shots"/*.pdf; do
    pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$pdf" "${pdf%.pdf}-page1"
  done
  echo "Screenshots of every window, code tables (PDF) and their first pages, and the exported"
  echo "catalogue (demo-catalogue.csv, demo-catalogue.xlsx) are in $shots/"
else
  exec "$bin/tesmira-host" "${host_args[@]}" "$@"
fi
