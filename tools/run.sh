#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on the local
# stand-in site (built from tools/standin/), which serves the product site, the
# portal and the rate service on a free loopback port; the site stops when
# the program ends, Ctrl+C included.
#
#   tools/run.sh [--real-hosts] [PROGRAM OPTIONS...]
#
# The configured hosts are used instead, without the site, with --real-hosts
# or when any of KARTAVIO_SITE_HOST, KARTAVIO_PORTAL_HOST and
# KARTAVIO_SERVICE_HOST is set. Settings and rate cache are the user's own
# either way. KARTAVIO_BUILD_DIR names the build folder (default: build/).
# As root the web engine's sandbox is switched off, as Chromium demands.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${KARTAVIO_BUILD_DIR:-$top/build}

standin=1
args=()
for arg in "$@"; do
  if [ "$arg" = --real-hosts ]; then standin=0; else args+=("$arg"); fi
done
if [ -n "${KARTAVIO_SITE_HOST:-}${KARTAVIO_PORTAL_HOST:-}${KARTAVIO_SERVICE_HOST:-}" ]; then
  standin=0
fi
# Chromium refuses to start as root with its sandbox; only this script, never
# the program, switches it off, and says so.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
  echo "tools/run.sh: running as root, so the web engine's sandbox is off (QTWEBENGINE_DISABLE_SANDBOX=1)" >&2
fi

# Each step is cheap once done: the installer only looks when all is there,
# an existing build folder is not configured again (ninja does that itself
# when a CMakeLists.txt changed), and an up-to-date program is not rebuilt.
"$top/tools/install-deps.sh"
# build_targets TARGET...
build_targets() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$build" -G Ninja
  fi
  cmake --build "$build" --target "$@"
}

if [ "$standin" = 0 ]; then
  build_targets kartavio
  exec "$build/kartavio" "${args[@]}"
fi

site="" app="" scratch=$(mktemp -d)
stop() {
  trap - EXIT INT TERM HUP
  for pid in $app $site; do kill "$pid" 2>/dev/null || true; done
  for pid in $app $site; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap stop EXIT
# A signal ends the script, which stops the program and the site (EXIT).
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# The site prints "PORT <n>" once it listens; its request log goes to stderr.
build_targets kartavio standin_site
"$build/standin_site" --port 0 >"$scratch/port" &
site=$!
port=""
for _ in $(seq 100); do
  port=$(awk '/^PORT / {print $2; exit}' "$scratch/port")
  [ -n "$port" ] && break
  kill -0 "$site" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "tools/run.sh: the stand-in site did not start (tools/run.sh --real-hosts skips it)" >&2
  exit 1
fi
echo "tools/run.sh: stand-in site, made-up rate (kept in the rate cache for today); --real-hosts for the configured hosts" >&2
export KARTAVIO_SITE_HOST=127.0.0.1:$port KARTAVIO_PORTAL_HOST=127.0.0.1:$port KARTAVIO_SERVICE_HOST=127.0.0.1:$port

# In the background, so that a signal to this script is handled at once
# (a shell waiting for a foreground program handles it only afterwards).
"$build/kartavio" "${args[@]}" &
app=$!
status=0
wait "$app" || status=$?
app=""
exit "$status"
