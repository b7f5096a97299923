#!/usr/bin/env bash
# Builds the Debian package twice, each time from a clean clone of the
# current commit in another folder (tests and benchmarks off), and compares
# the two packages byte for byte. On a difference it shows what differs:
# with diffoscope when installed, otherwise as a list of the files that differ.
# Uncommitted changes are not part of it: it builds the commit.
#   tools/reproducible.sh [WORK_FOLDER]      (default: a temporary folder)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$top" rev-parse HEAD)
if [ -n "$(git -C "$top" status --porcelain --untracked-files=no)" ]; then
  echo "reproducible.sh: uncommitted changes are left out; building $commit" >&2
fi

if [ $# -gt 0 ]; then
  work=$1
  rm -rf "$work"
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

# Clones the commit into $1 and builds its package in the build folder $2
# (relative to the clone); the package ends up as $3.
build_package() {
  local clone=$1 build=$2 deb=$3
  git clone --quiet --no-checkout "$top" "$clone"
  git -C "$clone" checkout --quiet --detach "$commit"
  cmake -S "$clone" -B "$clone/$build" -G Ninja -DKARTAVIO_TESTS=OFF -DKARTAVIO_BENCH=OFF >"$work/log" 2>&1 \
    && cmake --build "$clone/$build" --target package >>"$work/log" 2>&1 \
    || { cat "$work/log" >&2; echo "reproducible.sh: build in $clone failed" >&2; return 1; }
  mv "$clone/$build"/kartavio_*.deb "$deb"
}

started=$(date +%s)
# Folders of different names and depths, so that a path of the build left
# in the package shows up as a difference.
build_package "$work/first/kartavio" build "$work/first.deb"
build_package "$work/second/elsewhere/clone" out "$work/second.deb"
seconds=$(( $(date +%s) - started ))

if cmp "$work/first.deb" "$work/second.deb"; then
  echo "Reproducible: both packages of ${commit:0:12} are identical" \
       "($(stat -c %s "$work/first.deb") bytes, sha256 $(sha256sum "$work/first.deb" | cut -c1-16)...);" \
       "two builds took ${seconds} s"
  exit 0
fi

echo "NOT reproducible: the two packages of ${commit:0:12} differ (two builds took ${seconds} s)" >&2
if command -v diffoscope >/dev/null; then
  diffoscope --text - "$work/first.deb" "$work/second.deb" | head -n 300 >&2 || true
else
  for which in first second; do
    dpkg-deb --raw-extract "$work/$which.deb" "$work/$which.tree"
  done
  diff -r "$work/first.tree" "$work/second.tree" >&2 || true
  diff <(dpkg-deb --contents "$work/first.deb") <(dpkg-deb --contents "$work/second.deb") >&2 || true
  echo "(install diffoscope for a readable difference)" >&2
fi
exit 1
