#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test; then
# builds the tests that need no web engine a second time with AddressSanitizer
# and UndefinedBehaviorSanitizer (in build-asan) and runs them again there.
# The tests get their own virtual display; the web engine's sandbox is only
# switched off when running as root, where Chromium refuses to start with it.
# KARTAVIO_NO_SANITIZERS=1 skips the second stage.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/install-deps.sh"
cmake -S "$top" -B "$top/build" -G Ninja
cmake --build "$top/build"
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
status=0
(cd "$top/build" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure "$@") || status=$?

if [ "${KARTAVIO_NO_SANITIZERS:-0}" != 1 ]; then
  echo
  echo "=== Offline tests under AddressSanitizer and UndefinedBehaviorSanitizer (build-asan) ==="
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
