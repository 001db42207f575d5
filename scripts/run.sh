#!/usr/bin/env bash
# Installs what is missing, builds, and starts Cindral on the sample drawing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CINDRAL_BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
exec "$build/app/cindral" "$@" "$root/samples/site.dxf"
