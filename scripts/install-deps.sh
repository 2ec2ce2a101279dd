#!/usr/bin/env bash
# Installs the Debian packages Tesmira builds, tests and runs with, when any is
# missing. Needs root (apt-get); does nothing when everything is there.
# Further package names given as arguments are installed the same way (the
# fuzz script adds clang and libFuzzer).
set -euo pipefail

packages=(
  cmake g++ make pkg-config dpkg-dev file
  qt6-base-dev qt6-translations-l10n
  poppler-utils
  libsoci-dev libboost-dev
  libsqlite3-dev sqlite3
  unixodbc unixodbc-dev tdsodbc libsqliteodbc
  postgresql odbc-postgresql libpq-dev
  libpugixml-dev libxlsxwriter-dev libzip-dev
  libgtest-dev libbenchmark-dev
  linux-perf heaptrack  # profiling the benchmarks (call graphs, allocations)
  fonts-wqy-zenhei
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: missing packages and not root; run as root or install them: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  # The server tests start a throw-away server of their own; the system
  # cluster the package would otherwise create (and start) is not wanted.
  if [[ " ${missing[*]} " == *" postgresql "* ]] && [ ! -e /etc/postgresql-common/createcluster.conf ]; then
    mkdir -p /etc/postgresql-common/createcluster.d
    echo "create_main_cluster = false" >/etc/postgresql-common/createcluster.d/tesmira.conf
  fi
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The PostgreSQL ODBC driver is registered with its communication log on, and
# falls back to that setting when a process's last connection closes: every
# test process would leave /tmp/psqlodbc_*.log behind. The package's
# postinst turns it off the same way.
if [ -f /etc/odbcinst.ini ] &&
  awk '/^\[/ { pg = ($0 ~ /^\[PostgreSQL/) } pg && /^(CommLog|Debug)[ \t]*=[ \t]*[1-9]/ { on = 1 } END { exit !on }' /etc/odbcinst.ini; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "warning: the PostgreSQL ODBC driver logs to /tmp; as root set CommLog=0 and Debug=0 in /etc/odbcinst.ini" >&2
  else
    awk '/^\[/ { pg = ($0 ~ /^\[PostgreSQL/) } pg && /^(CommLog|Debug)[ \t]*=/ { sub(/=.*/, "=0") } { print }' \
      /etc/odbcinst.ini >/etc/odbcinst.ini.tesmira && cat /etc/odbcinst.ini.tesmira >/etc/odbcinst.ini
    rm -f /etc/odbcinst.ini.tesmira
  fi
fi
