#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, when missing.
# Checks first and installs only what is absent; runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libboost-dev libsqlite3-dev libssl-dev libjpeg62-turbo-dev libgif-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  curl openssl python3 python3-aiosmtpd sqlite3
  wrk nginx-light
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update -qq
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
