#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then
# builds the tests that need no web engine a second time with AddressSanitizer
# and UndefinedBehaviorSanitizer (in build-asan) and runs them again there.
# The tests get their own virtual desktop: Xvfb with the openbox window
# manager, because positions, titles and activation differ without one; both
# are stopped when the script ends. The web engine's sandbox is only switched
# off when running as root, where Chromium refuses to start with it.
# In between, tools/reproducible.sh builds the package twice from two clean
# clones and compares them byte for byte (KARTAVIO_NO_REPRODUCIBLE=1 skips it).
# KARTAVIO_NO_SANITIZERS=1 skips the sanitizer stage.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja
cmake --build "$top/build"
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi

desktop_pids=()
stop_desktop() {
  for pid in "${desktop_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${desktop_pids[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  desktop_pids=()
}
trap stop_desktop EXIT

# Starts Xvfb on a free display (it names the display once it is ready) and
# openbox on it; exports DISPLAY once the window manager has taken over.
start_desktop() {
  local fifo display
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  desktop_pids+=("$!")
  read -r -t 20 display <"$fifo" || true
  rm -f "$fifo"
  if [ -z "${display:-}" ]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$display"
  openbox --sm-disable >/dev/null 2>&1 &
  desktop_pids+=("$!")
  for _ in $(seq 100); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
      return 0
    fi
    sleep 0.1
  done
  echo "openbox did not start" >&2
  return 1
}

status=0
start_desktop
(cd "$top/build" && ctest --output-on-failure "$@") || status=$?
stop_desktop

if [ "${KARTAVIO_NO_REPRODUCIBLE:-0}" != 1 ]; then
  echo
  echo "=== Reproducible package: two clean clones built and compared (tools/reproducible.sh) ==="
  "$top/tools/reproducible.sh" || status=$?
fi

if [ "${KARTAVIO_NO_SANITIZERS:-0}" != 1 ]; then
  echo
  echo "=== Offline tests under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan) ==="
  # These tests run offscreen; with a live X display at hand, Qt's offscreen
  # platform would load the GL driver, whose unloaded allocations LeakSanitizer
  # reports as leaks of an unknown module.
  unset DISPLAY WAYLAND_DISPLAY
  started=$(date +%s)
  cmake -S "$top" -B "$top/build-asan" -G Ninja -DKARTAVIO_SANITIZE=ON
  cmake --build "$top/build-asan" --target offline_tests
  echo "Sanitizer build took $(( $(date +%s) - started )) s"
  # Any report ends the test that made it, with a stack trace, as a failure.
  export ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  export LSAN_OPTIONS=suppressions=$top/tools/lsan.supp:print_suppressions=0
  (cd "$top/build-asan" && ctest -L offline --output-on-failure "$@") || status=$?
fi
exit "$status"
