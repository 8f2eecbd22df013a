#!/usr/bin/env bash
# Installs QX Requests for systemd and nginx from a build tree:
#   PREFIX (default /opt/requestqx): requestqx-host, RequestQX9.so, requestqx-admin, Files/,
#     read-only to the service; the writable parts the library keeps beside itself (Cache/,
#     its .log and .err files) and its settings file are links to where they live:
#   /etc/requestqx/ZozarodUruzede.ini (kept when present), /var/cache/requestqx,
#   /var/log/requestqx (both made by systemd for the unit), the database in /var/lib/requestqx;
#   /etc/systemd/system/requestqx.service, /etc/nginx/sites-available/requestqx and
#   /etc/sysusers.d/requestqx.conf (the service's system user).
# DESTDIR lays the whole tree out under another folder (packaging, tests); without it the
# system user is made and systemd is told about the unit.
# Usage: [PREFIX=/opt/requestqx] [DESTDIR=folder] scripts/install.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: scripts/install.sh BUILD_DIR}
prefix=${PREFIX:-/opt/requestqx}
destdir=${DESTDIR:-}
deploy="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/deploy"
[[ "$prefix" == /* ]] || { echo "install: PREFIX must be an absolute path" >&2; exit 2; }
[[ "$prefix" != *[\|\&]* ]] || { echo "install: PREFIX must not hold | or &" >&2; exit 2; }

root="$destdir$prefix"
# cmake puts the files under DESTDIR itself.
DESTDIR="$destdir" cmake --install "$build" --prefix "$prefix" >/dev/null
ln -sfn /etc/requestqx/ZozarodUruzede.ini "$root/ZozarodUruzede.ini"
ln -sfn /var/cache/requestqx "$root/Cache"
ln -sfn /var/log/requestqx/RequestQX9.log "$root/RequestQX9.log"
ln -sfn /var/log/requestqx/RequestQX9.err "$root/RequestQX9.err"

install -d "$destdir/etc/requestqx"
settings="$destdir/etc/requestqx/ZozarodUruzede.ini"
[[ -e "$settings" ]] || install -m 0644 "$deploy/ZozarodUruzede.ini" "$settings"
install -d "$destdir/etc/systemd/system"
sed "s|@PREFIX@|$prefix|g" "$deploy/requestqx.service.in" > "$destdir/etc/systemd/system/requestqx.service"
install -D -m 0644 "$deploy/nginx/requestqx.conf" "$destdir/etc/nginx/sites-available/requestqx"
install -D -m 0644 "$deploy/requestqx.sysusers" "$destdir/etc/sysusers.d/requestqx.conf"

if [[ -z "$destdir" ]]; then
  command -v systemd-sysusers >/dev/null && systemd-sysusers /etc/sysusers.d/requestqx.conf
  [[ -d /run/systemd/system ]] && systemctl daemon-reload
fi
echo "install: QX Requests in $root"
