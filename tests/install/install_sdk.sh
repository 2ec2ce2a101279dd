#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed copy the
# way a site and a host program's developers do: the database set-up command
# with its defaults, the reference host, the pkg-config file, and a separate
# host project built with find_package(Tesmira) and run headless.
# Arguments: build folder, probe project, C++ compiler, version, plug-in
# folder and library folder (relative to the prefix), schema folders.
set -uo pipefail
build="$1" probe="$2" cxx="$3" version="$4" plugindir="$5" libdir="$6"
shift 6
schemas=("$@")
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
prefix="$tmp/prefix"

passed=0 failed=0
check() {  # name, status
  if [ "$2" = 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}
run() {  # log name, command...: runs quietly, shows the log when it fails
  local log="$tmp/$1.log"
  shift
  "$@" > "$log" 2>&1 || { tail -n 30 "$log"; return 1; }
}

run install cmake --install "$build" --prefix "$prefix"
check "cmake --install" $?
for f in "$plugindir/libtesmira.so" "$plugindir/cfg/cfg.config" bin/tesmira-host \
  bin/tesmira-dbinit share/tesmira/sql/demo-data.sql share/doc/tesmira/architecture.md \
  "$libdir/cmake/Tesmira/TesmiraConfig.cmake" "$libdir/pkgconfig/tesmira.pc"; do
  [ -f "$prefix/$f" ]
  check "installed $f" $?
done
for s in "${schemas[@]}"; do
  [ -f "$prefix/share/tesmira/sql/$s/schema.sql" ]
  check "installed the $s schema" $?
done
[ -z "$(find "$prefix" -name '*.a' -o -name '*test*' -o -name '*.cpp')" ]
check "no static library, test or source installed" $?

# Modes: the configuration (it may hold a server password) is 0640, the
# state folder group-writable with set-group-ID (2775), in the prefix install
# and in a staged (DESTDIR) one as a package builds it.
[ "$(stat -c %a "$prefix/$plugindir/cfg/cfg.config")" = 640 ]
check "cfg/cfg.config is 0640" $?
[ "$(stat -c %a "$prefix/var/lib/tesmira")" = 2775 ]
check "the state folder is 2775" $?
run staged env DESTDIR="$tmp/stage" cmake --install "$build" --prefix /usr
check "cmake --install with DESTDIR" $?
[ "$(stat -c %a "$tmp/stage/usr/$plugindir/cfg/cfg.config")" = 640 ]
check "staged cfg/cfg.config is 0640" $?
[ "$(stat -c %a "$tmp/stage/var/lib/tesmira")" = 2775 ]
check "staged state folder /var/lib/tesmira is 2775" $?
# The state folder's group is the site's (tesmira after the package's
# postinst); a group of the machine stands for it here when the test may
# give it (root): the database tesmira-dbinit makes takes it, mode 0660.
group=""
if [ "$(id -u)" = 0 ] && getent group nogroup > /dev/null; then
  group=nogroup
  chgrp "$group" "$prefix/var/lib/tesmira" && chmod 2775 "$prefix/var/lib/tesmira"
fi

cd "$tmp"  # the programs find their files relative to themselves, not here
# The installed configuration names a database under the prefix; the set-up
# command makes it with the demo data, then refuses to touch it again.
run dbinit "$prefix/bin/tesmira-dbinit" --demo-data
check "tesmira-dbinit --demo-data" $?
[ -s "$prefix/var/lib/tesmira/tesmira.db" ]
check "database made under the prefix's var/lib/tesmira" $?
[ "$(stat -c %a "$prefix/var/lib/tesmira/tesmira.db")" = 660 ]
check "the database tesmira-dbinit made is 0660" $?
if [ -n "$group" ]; then
  [ "$(stat -c %G "$prefix/var/lib/tesmira/tesmira.db")" = "$group" ]
  check "the database tesmira-dbinit made has the state folder's group" $?
fi
before="$(md5sum < "$prefix/var/lib/tesmira/tesmira.db")"
! "$prefix/bin/tesmira-dbinit" --demo-data 2> "$tmp/again.log" && grep -q "already holds" "$tmp/again.log"
check "a second set-up is refused" $?
[ "$(md5sum < "$prefix/var/lib/tesmira/tesmira.db")" = "$before" ]
check "the refused set-up left the database alone" $?

[ "$("$prefix/bin/tesmira-host" --version 2> /dev/null)" = "tesmira-host $version" ]
check "tesmira-host --version" $?
"$prefix/bin/tesmira-host" --help 2> /dev/null | grep -q -- "--list-windows"
check "tesmira-host --help" $?
names="$("$prefix/bin/tesmira-host" --list-windows 2> /dev/null | tr -d '\r')"
first="$(head -n 1 <<< "$names")"
[ -n "$first" ]
check "tesmira-host finds the installed library" $?

export PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig"
[ "$(pkg-config --modversion tesmira)" = "$version" ] && [ -f "$(pkg-config --variable=plugin tesmira)" ]
check "pkg-config names the version and the library" $?
# Each SDK header stands alone with the flags pkg-config gives.
for header in "$prefix"/include/tesmira/*.h; do
  echo "#include <tesmira/${header##*/}>" |
    "$cxx" -std=c++20 -fsyntax-only -Wall -Wextra -Werror $(pkg-config --cflags tesmira) -x c++ -
  check "${header##*/} compiles alone" $?
done

run configure cmake -S "$probe" -B "$tmp/probe" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release
check "probe host configures with find_package(Tesmira)" $?
run build cmake --build "$tmp/probe"
check "probe host builds against the SDK" $?
QT_QPA_PLATFORM=offscreen "$tmp/probe/tesmira-probe" "$first" > "$tmp/probe.log" 2>&1
check "probe host loads, opens $first, unloads" $?
cat "$tmp/probe.log"

echo "install and SDK: $passed passed, $failed failed"
[ "$failed" = 0 ]
