#!/usr/bin/env bash
# Installs what Cindral needs to build, run and test on Debian 12, as root.
# Safe to run again: packages already present are left alone and no network is
# needed when nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  qt6-base-dev libgl-dev
  libsqlite3-dev libboost-dev
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

if [ ${#missing[@]} -eq 0 ]; then
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
