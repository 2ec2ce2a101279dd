#!/usr/bin/env bash
# Runs the reference host the way a user's machine does: the library copied
# into a folder of its own with cfg/cfg.config beside it, a fresh embedded
# database, the host loading the library by path. Checks --list-windows, that
# --screenshot writes one picture per registered window, and that --print
# writes the code table of each window that prints one, for a user who may.
set -euo pipefail
host="$1" lib="$2" src="$3"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

mkdir -p "$tmp/lib/cfg"
cp "$lib" "$tmp/lib/"
sqlite3 "$tmp/tesmira.db" < "$src/sql/sqlite/schema.sql"
if [ -f "$src/sql/demo-data.sql" ]; then sqlite3 "$tmp/tesmira.db" < "$src/sql/demo-data.sql"; fi
cat > "$tmp/lib/cfg/cfg.config" <<XML
<?xml version="1.0" encoding="utf-8"?>
<cfgxml><DBConnectionPool Provider="SQLite" DBName="t" DBUser="" Password="" Schema="$tmp/tesmira.db"
  MinDBPoolSize="1" MaxDBPoolSize="2"/></cfgxml>
XML

passed=0 failed=0
check() {  # name, condition result
  if [ "$2" = 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

cd "$tmp"  # neither the host's nor the library's folder
listing="$("$host" --library "$tmp/lib/libtesmira.so" --list-windows)"
names=()
while IFS= read -r line; do names+=("${line%$'\r'}"); done <<< "$listing"
[ -n "$listing" ] && [ "${listing: -1}" = $'\r' ]; check "every name ends with CR LF" $?

"$host" --library "$tmp/lib/libtesmira.so" --user Chief --operator tester \
  --screenshot "$tmp/shots" > "$tmp/host.log" 2>&1
check "screenshot run exits 0" $?
for n in "${names[@]}"; do
  [ -s "$tmp/shots/$n.png" ]; check "screenshot of $n" $?
done
! grep -q "^error" "$tmp/host.log"; check "no window reported an error" $?

# The category, item and check set windows print; the tube window does not.
printers=(TfrmCheckSet TfrmCategorie TfrmItemEdit)
"$host" --library "$tmp/lib/libtesmira.so" --user Chief --print "$tmp/pdf" > "$tmp/print.log" 2>&1
check "print run exits 0" $?
for n in "${printers[@]}"; do
  pdftotext -raw "$tmp/pdf/$n.pdf" - 2>/dev/null | grep -q "^第 1 页 / 共 "; check "code table of $n" $?
done
[ "$(ls "$tmp/pdf" | wc -l)" = "${#printers[@]}" ]; check "no other window prints" $?
# A clerk with every right but printing: a message for each window, no file.
"$host" --library "$tmp/lib/libtesmira.so" --user clerk --rights TJXT201001,TJXT202001 \
  --print "$tmp/refused" > "$tmp/refused.log" 2>&1 && status=0 || status=$?
[ "$status" = 1 ]; check "refused print run exits 1" $?
[ "$(ls "$tmp/refused" | wc -l)" = 0 ]; check "refused print writes no file" $?
grep -q "TJXT204007" "$tmp/refused.log"; check "refusal names the check set print right" $?

echo "host smoke: $passed passed, $failed failed"
[ "$failed" = 0 ]
