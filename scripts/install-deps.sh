#!/usr/bin/env bash
# Installs what Cindral needs to build, run and test on Debian 12, as root.
# Safe to run again: packages already present are left alone and no network is
# needed when nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev libgl-dev
  libsqlite3-dev libboost-dev nlohmann-json3-dev
  libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  python3-ezdxf
  locales
  fonts-liberation2
  xvfb xauth openbox xdotool imagemagick x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# The DWG reader runs on Node.js: Debian 12's own nodejs (18) runs it, and a
# newer node already on the PATH is used as it is.
if ! command -v node >/dev/null 2>&1; then
  missing+=(nodejs)
fi
if ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
reader="$root/cadhost/dwg/reader"

# Installs the DWG reader's package exactly as its lock file pins it.
install_dwg_reader() {
  if [ -f "$reader/node_modules/@mlightcad/libredwg-web/package.json" ] &&
     cmp -s "$reader/package-lock.json" "$reader/node_modules/.package-lock.json.installed"; then
    return 0
  fi
  echo "install-deps: installing the DWG reader's package (npm ci in cadhost/dwg/reader)"
  (cd "$reader" && npm ci --no-audit --no-fund --loglevel=error)
  cp "$reader/package-lock.json" "$reader/node_modules/.package-lock.json.installed"
}

if [ ${#missing[@]} -eq 0 ]; then
  install_dwg_reader
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo "$0" "$@"
  fi
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_dwg_reader
