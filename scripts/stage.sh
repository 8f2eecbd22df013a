#!/usr/bin/env bash
# Lays out a runnable install: the host, the library, the admin tool, Files/ and a demo
# database (created only when missing, so a staged database survives rebuilds).
set -euo pipefail
build=$1
stage=$2
cmake --install "$build" --prefix "$stage" >/dev/null

# The host looks for the library beside itself; say so plainly when it is not there yet.
[[ -x "$stage/requestqx-host" ]] || { echo "stage: requestqx-host was not installed" >&2; exit 1; }
[[ -f "$stage/Files/SessionEnd.htm" ]] || { echo "stage: Files/SessionEnd.htm is missing" >&2; exit 1; }
if [[ ! -f "$stage/RequestQX9.so" ]]; then
  echo "stage: warning: $stage/RequestQX9.so is not built yet; requestqx-host cannot start without it" >&2
fi

# The demo database (data layer): made only when missing, so a staged database survives rebuilds.
if [[ ! -e "$stage/database/Requests.mdb" ]]; then
  "$stage/requestqx-admin" init-db --demo "$stage/database/Requests.mdb"
fi
