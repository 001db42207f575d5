#!/bin/sh
# Makes docs/screenshot.png from the desktop program, offscreen, on the sample
# site plan. Usage: docs/make_screenshot.sh BUILD_DIR
set -eu
build=${1:?usage: docs/make_screenshot.sh BUILD_DIR}
here=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target cindral_screenshot
QT_QPA_PLATFORM=offscreen "$build/tests/gui/cindral_screenshot" "$here/../samples/site.dxf" "$here/screenshot.png"
echo "wrote $here/screenshot.png"
