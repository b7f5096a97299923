#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmarks on a virtual
# desktop: start-up, memory and typing, printed as a table.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja
cmake --build "$top/build" --target kartavio kartavio_floor bench_typing standin_site
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
# The desktop the tests use: Xvfb with the openbox window manager, which
# places and activates the windows as a user's desktop does.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  openbox --sm-disable >/dev/null 2>&1 &
  for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
  done
  python3 "$@"' bench "$top/bench/run.py" "$top/build" "$@"
