#!/usr/bin/env bash
# Starts the program under Xvfb against the local stand-in site with German
# settings, shows each panel in turn (clicking its link) and writes one
# screenshot per panel into the folder given (default: docs/screenshots/), as
# small 128-colour PNGs for the README.
#   tools/screenshots.sh [--dark] [folder]
# --dark: under a dark desktop colour scheme (KDE's Breeze Dark, read from
# kdeglobals as on a Plasma desktop); default folder build/screenshots-dark/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dark=
if [ "${1:-}" = --dark ]; then
  dark=1
  shift
fi
out=${1:-$top/docs/screenshots}
[ -n "$dark" ] && out=${1:-$top/build/screenshots-dark}
mkdir -p "$out"
exe=${KARTAVIO_EXE:-$top/build/kartavio}
site_exe=${KARTAVIO_SITE_EXE:-$(dirname "$exe")/standin_site}
if [ ! -x "$site_exe" ]; then
  echo "tools/screenshots.sh: no stand-in site at $site_exe (cmake --build build --target standin_site)" >&2
  exit 1
fi

home=$(mktemp -d)
# Xvfb picks a free display itself and names it once it is ready.
mkfifo "$home/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$home/display" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 number <"$home/display" || true
if [ -z "${number:-}" ]; then
  echo "tools/screenshots.sh: Xvfb did not start" >&2
  kill $xvfb 2>/dev/null
  rm -rf "$home"
  exit 1
fi
display=:$number
"$site_exe" --port 0 >"$home/site.out" 2>"$home/site.log" &
site=$!
trap 'kill $site $xvfb 2>/dev/null; rm -rf "$home"' EXIT
for _ in $(seq 50); do grep -q '^PORT' "$home/site.out" 2>/dev/null && break; sleep 0.1; done
port=$(awk '/^PORT/ {print $2; exit}' "$home/site.out")

export DISPLAY=$display LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8
export XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
if [ -n "$dark" ]; then
  mkdir -p "$home/config"
  cat >"$home/config/kdeglobals" <<'EOF'
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=239,240,241
[Colors:Tooltip]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=35,38,41
BackgroundAlternate=49,54,59
ForegroundNormal=239,240,241
ForegroundLink=41,128,185
ForegroundVisited=127,140,141
[Colors:Window]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
EOF
  export XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
fi
export KARTAVIO_SITE_HOST=127.0.0.1:$port KARTAVIO_PORTAL_HOST=127.0.0.1:$port KARTAVIO_SERVICE_HOST=127.0.0.1:$port
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
"$exe" >"$home/kartavio.log" 2>&1 &
app=$!
trap 'kill $app $site $xvfb 2>/dev/null; rm -rf "$home"' EXIT
xdotool search --sync --onlyvisible --name "Kartavio 1.00" >/dev/null
sleep 3
win=$(xdotool search --onlyvisible --name "Kartavio 1.00" | head -1)
eval "$(xdotool getwindowgeometry --shell "$win")"

# Link positions in pixels (group left/top + link top, in twips / 15).
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep "${3:-0.7}"; }
shot() { import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage +dither -colors 128 "PNG8:$out/$1.png"; }

shot panel0-waehrung
click 26 46;  shot panel1-benzin
click 26 62;  shot panel3-umrechnungen
click 26 78;  shot panel4-zoll
click 26 94;  shot panel11-trinkgeld
click 26 222; shot panel5-uebersetzen
click 26 238 2; shot panel6-weblinks
click 26 254; shot panel10-bus-zug
click 26 270 2; shot panel12-wortschatz
echo "screenshots in $out"
