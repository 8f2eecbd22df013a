#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need, when missing
# (nginx for the test behind a proxy, systemd for systemd-analyze, which checks the unit).
# Checks first and installs only what is absent; runs apt-get as root (or through sudo).
# With --browser-tests it also provides what the browser tests need: Chromium, Node.js and the
# npm packages of e2e/ (so that `make run` never depends on the npm registry). With --pictures
# it also installs Pillow for scripts/make_design_pictures.py. With --fuzz it also installs
# clang and its run-time libraries (libFuzzer and the sanitizers) for `make fuzz`.
set -euo pipefail

browser_tests=false
pictures=false
fuzz=false
for option in "$@"; do
  case "$option" in
    --browser-tests) browser_tests=true ;;
    --pictures) pictures=true ;;
    --fuzz) fuzz=true ;;
    *) echo "setup: unknown option $option" >&2; exit 2 ;;
  esac
done

packages=(
  build-essential cmake ninja-build ccache pkg-config
  libboost-dev libsqlite3-dev libssl-dev libjpeg62-turbo-dev libgif-dev libjemalloc-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  curl openssl python3 python3-aiosmtpd sqlite3
  wrk nginx-light systemd
)
if $browser_tests; then
  packages+=(chromium)
  # A Node.js installed another way counts as present.
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi
$pictures && packages+=(python3-pil)
$fuzz && packages+=(clang libclang-rt-dev)

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
# download a browser), installed again when the lock file has changed since.
if $browser_tests; then
  e2e="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/e2e"
  if [[ ! -f "$e2e/node_modules/.package-lock.json" ||
        "$e2e/package-lock.json" -nt "$e2e/node_modules/.package-lock.json" ]]; then
    echo "setup: installing the browser tests' packages"
    (cd "$e2e" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
  fi
fi
