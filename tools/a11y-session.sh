#!/usr/bin/env bash
# Runs a command in its own D-Bus session with the accessibility bus up and
# Qt's accessibility switched on, as it is while a screen reader listens.
# Needs an X display (the tests run under xvfb-run).
#   tools/a11y-session.sh COMMAND [ARGS...]
set -euo pipefail
exec dbus-run-session -- bash -c '
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
  exec "$@"' a11y-session "$@"
