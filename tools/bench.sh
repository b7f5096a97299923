#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmarks on a virtual
# display: start-up, memory and typing, printed as a table.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja
cmake --build "$top/build" --target kartavio kartavio_floor bench_typing
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
xvfb-run -a -s "-screen 0 1280x1024x24" python3 "$top/bench/run.py" "$top/build" "$@"
