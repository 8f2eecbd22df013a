#!/usr/bin/env bash
# Lays out a runnable install: the host, the library, the admin tool, Files/ and a demo
# database (created only when missing, so a staged database survives rebuilds).
set -euo pipefail
build=$1
stage=$2
cmake --install "$build" --prefix "$stage" >/dev/null

# The demo database (data layer): made only when missing, so a staged database survives rebuilds.
if [[ ! -e "$stage/database/Requests.mdb" ]]; then
  "$stage/requestqx-admin" init-db --demo "$stage/database/Requests.mdb"
fi
