#!/usr/bin/env bash
# make install's tree and its systemd unit: installed with DESTDIR into an empty folder, every
# path the unit, the settings and the nginx site name is there or is a link to where the unit
# lets the service write; a second install keeps edited settings; and the unit, with the tree
# it was installed with, passes systemd-analyze verify without a warning.
# Usage: InstallTest.sh BUILD_DIR SOURCE_DIR. Exit 77 (skipped) only when systemd-analyze is
# missing and the test cannot install it (not root).
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
value() { sed -n "s/^$1=//p" "$2" | tr -d '\r'; }

root="$work/root"
DESTDIR="$root" "$source/scripts/install.sh" "$build" >/dev/null
unit="$root/etc/systemd/system/requestqx.service"
settings="$root/etc/requestqx/ZozarodUruzede.ini"
site="$root/etc/nginx/sites-available/requestqx"
for file in "$unit" "$settings" "$site" "$root/etc/sysusers.d/requestqx.conf"; do
  [[ -f "$file" ]] || fail "$file was not installed"
done

# The programs where ExecStart and the host look for them.
read -r host arguments < <(value ExecStart "$unit")
[[ "$host" == /opt/requestqx/requestqx-host ]] || fail "ExecStart runs $host"
[[ "$arguments" == "--bind 127.0.0.1" ]] || fail "the host listens beyond loopback: $arguments"
prefix=$(dirname "$host")
[[ -x "$root$host" ]] || fail "$host is not installed"
for file in RequestQX9.so requestqx-admin Files/SessionEnd.htm; do
  [[ -f "$root$prefix/$file" ]] || fail "$prefix/$file is not installed"
done

# What the library writes beside itself leads into the folders systemd makes for the unit;
# the settings file leads to /etc and names the unit's state folder for the database.
expect_link() {
  local target
  target=$(readlink "$root$prefix/$1") || fail "$prefix/$1 is not a link"
  [[ "$target" == "$2" ]] || fail "$prefix/$1 leads to $target, not $2"
}
expect_link Cache "/var/cache/$(value CacheDirectory "$unit")"
expect_link RequestQX9.log "/var/log/$(value LogsDirectory "$unit")/RequestQX9.log"
expect_link RequestQX9.err "/var/log/$(value LogsDirectory "$unit")/RequestQX9.err"
expect_link ZozarodUruzede.ini /etc/requestqx/ZozarodUruzede.ini
state="/var/lib/$(value StateDirectory "$unit")"
[[ "$(value FileName "$settings")" == "$state" ]] || fail "the database is not in $state"
[[ "$(value WorkingDirectory "$unit")" == "$state" ]] || fail "WorkingDirectory is not $state"
[[ "$(value ProtectSystem "$unit")" == strict ]] || fail "the rest of the system is writable"
user=$(value User "$unit")
grep -q "^u $user " "$root/etc/sysusers.d/requestqx.conf" || fail "no system user $user"
port=$(value TCPIPPort "$settings")
grep -q "server 127.0.0.1:$port;" "$site" || fail "the nginx site does not proxy to port $port"

# A second install keeps the administrator's settings.
echo "; edited" >> "$settings"
DESTDIR="$root" "$source/scripts/install.sh" "$build" >/dev/null
grep -q "^; edited" "$settings" || fail "a second install replaced the settings"

if ! command -v systemd-analyze >/dev/null; then
  [[ $(id -u) -eq 0 ]] && fail "systemd-analyze is missing: scripts/setup.sh installs it"
  echo "skipped: systemd-analyze is not installed"
  exit 77
fi
# The unit against the installed tree, with the system's own units beside it.
mkdir -p "$root/usr/lib/systemd"
cp -r /usr/lib/systemd/system "$root/usr/lib/systemd/"
report=$(systemd-analyze verify --root="$root" requestqx.service 2>&1) || fail "$report"
[[ -z "$report" ]] || fail "systemd-analyze verify: $report"
# And it would notice a program missing from the tree.
rm "$root$host"
if systemd-analyze verify --root="$root" requestqx.service >/dev/null 2>&1; then
  fail "systemd-analyze verify passed without the host"
fi
