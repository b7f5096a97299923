#!/usr/bin/env bash
# Installs, on Debian 12, whatever the build, the tests and the tools still lack.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-webengine-dev libgl-dev
  xvfb xauth openbox python3 python3-pil
  fonts-liberation2 fonts-dejavu-core
  imagemagick xdotool x11-utils coreutils
  desktop-file-utils dbus-daemon dbus-bin at-spi2-core
  dpkg-dev file gzip appstream lintian devscripts git
  qt6-translations-l10n
)

# One query for all, so that a run with everything installed takes no time.
installed=$(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
  if ! grep -qx "$p install ok installed" <<<"$installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
