#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CINDRAL_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
"$root/fuzz/smoke.sh"
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 600
