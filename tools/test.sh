#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# The tests get their own virtual display; the web engine's sandbox is only
# switched off when running as root, where Chromium refuses to start with it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja
cmake --build "$top/build"
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
cd "$top/build"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@"
