#!/usr/bin/env bash
# Builds the Debian package from the build folder (cpack -G DEB) and checks
# its control data, dependencies, configuration file and contents.
# Arguments: build folder, version, plug-in folder and library folder
# (relative to the prefix), schema folders.
set -uo pipefail
build="$1" version="$2" plugindir="$3" libdir="$4"
shift 4
schemas=("$@")
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

passed=0 failed=0
check() {  # name, status
  if [ "$2" = 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $1"; fi
}

(cd "$build" && cpack -G DEB -B "$tmp" > "$tmp/cpack.log" 2>&1) || { tail -n 30 "$tmp/cpack.log"; exit 1; }
deb="$(ls "$tmp"/*.deb)"
dpkg-deb -I "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = tesmira ]
check "package name" $?
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ]
check "package version" $?
[ -n "$(dpkg-deb -f "$deb" Description)" ]
check "description" $?
# Computed from the libraries the programs and the library link.
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libc6 libstdc++6 libqt6widgets6 libsoci-core libsoci-sqlite3 libsoci-odbc libsqlite3-0 \
  libodbc libpugixml libxlsxwriter libzip; do
  grep -q "$lib" <<< "$depends"
  check "depends on $lib" $?
done

contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for f in "usr/$plugindir/libtesmira.so" "usr/$plugindir/cfg/cfg.config" usr/bin/tesmira-host \
  usr/bin/tesmira-dbinit usr/bin/tesmira-catalog usr/share/tesmira/sql/demo-data.sql usr/include/tesmira/IWinMain.h \
  usr/include/tesmira/TesmiraExports.h "usr/$libdir/cmake/Tesmira/TesmiraConfig.cmake" \
  "usr/$libdir/pkgconfig/tesmira.pc" usr/share/doc/tesmira/architecture.md; do
  grep -qx "./$f" <<< "$contents"
  check "contains /$f" $?
done
for s in "${schemas[@]}"; do
  grep -qx "./usr/share/tesmira/sql/$s/schema.sql" <<< "$contents"
  check "contains the $s schema" $?
done
! grep -Ev '^\./usr/(bin|include|lib|share)/|^\./var/(lib/(tesmira/)?)?$' <<< "$contents" |
  grep -qv '^\./usr/$'
check "everything under /usr, and the state folder" $?
! grep -Eq '\.a$|test|\.cpp$' <<< "$contents"
check "no static library, test or source" $?

# The site's edits of the configuration survive an upgrade, and the packaged
# configuration names a database where a system keeps variable data.
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles | grep -qx "/usr/$plugindir/cfg/cfg.config"
check "cfg/cfg.config is a conffile" $?
dpkg-deb --fsys-tarfile "$deb" | tar -xO "./usr/$plugindir/cfg/cfg.config" |
  grep -q 'Schema="/var/lib/tesmira/tesmira.db"'
check "packaged configuration names /var/lib/tesmira/tesmira.db" $?
# The configuration (it may hold a server password) is not world-readable;
# the state folder is group-writable and passes its group on (set-group-ID);
# the postinst makes the system group tesmira and gives both to it.
listing="$(dpkg-deb -c "$deb")"
grep -Eq "^-rw-r----- .* \./usr/$plugindir/cfg/cfg\.config$" <<< "$listing"
check "cfg/cfg.config is 0640 in the package" $?
grep -Eq '^drwxrwsr-x .* \./var/lib/tesmira/$' <<< "$listing"
check "the state folder is 2775 in the package" $?
postinst="$(dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./postinst)"
grep -q 'addgroup --system tesmira' <<< "$postinst"
check "postinst creates the system group tesmira" $?
grep -q 'chown root:tesmira "$cfg"' <<< "$postinst" && grep -q 'chmod 0640 "$cfg"' <<< "$postinst"
check "postinst gives cfg.config root:tesmira 0640" $?
grep -q 'chown root:tesmira "$state"' <<< "$postinst" && grep -q 'chmod 2775 "$state"' <<< "$postinst"
check "postinst gives the state folder root:tesmira 2775" $?
grep -qx "  cfg=\"/usr/$plugindir/cfg/cfg.config\"" <<< "$postinst" &&
  grep -qx '  state="/var/lib/tesmira"' <<< "$postinst"
check "postinst names the installed files" $?
sh -n <<< "$postinst"
check "postinst is valid shell" $?
# Installed files carry no debugging sections (stripped).
mkdir "$tmp/root" && dpkg-deb -x "$deb" "$tmp/root"
! readelf -S "$tmp/root/usr/$plugindir/libtesmira.so" | grep -q '\.debug_info'
check "libtesmira.so is stripped" $?

echo "Debian package: $passed passed, $failed failed"
[ "$failed" = 0 ]
