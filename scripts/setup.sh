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
  chromium
)
# Node.js drives the browser tests; a Node.js installed another way counts as present.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

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

# The browser tests' own packages (playwright-core drives the system's Chromium; nothing may
# download a browser).
e2e="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/e2e"
if [[ ! -d "$e2e/node_modules" ]]; then
  echo "setup: installing the browser tests' packages"
  (cd "$e2e" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
