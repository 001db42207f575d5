#!/usr/bin/env bash
# Configures and builds Cindral into build/ (or $CINDRAL_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${CINDRAL_BUILD_DIR:-$root/build}"
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCINDRAL_WERROR="$werror" "$@"
cmake --build "$build" --parallel "$(nproc)"
