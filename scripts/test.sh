#!/usr/bin/env bash
# Builds from scratch and runs every test: natively, then the 32-bit Windows
# build under Wine. Usage: scripts/test.sh [LEG...]  (legs: native windows;
# all of them when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=2

# Things a leg leaves running or lying about, undone when the script ends,
# however it ends.
cleanups=()
cleanup() {
  local c
  for c in "${cleanups[@]}"; do eval "$c" || true; done
}
trap cleanup EXIT

# fresh_build PRESET: configures and builds the preset's folder from nothing.
fresh_build() {
  local build=build/$1
  rm -rf "$build"
  cmake --preset "$1"
  cmake --build "$build" -j "$jobs"
}

leg_native() {
  fresh_build ci-native
  ctest --test-dir build/ci-native --output-on-failure --no-tests=error
  scripts/check-exports.sh build/ci-native/bin/Galeboard.dll
}

leg_windows() {
  fresh_build ci-mingw-i686
  scripts/check-exports.sh build/ci-mingw-i686/bin/Galeboard.dll

  # A fresh 32-bit prefix of our own, so that nothing of the user's Wine setup
  # takes part; only its wineserver is stopped at the end.
  local root
  root=$(mktemp -d "${TMPDIR:-/tmp}/galeboard-wine.XXXXXX")
  export WINEPREFIX=$root/prefix WINEARCH=win32 WINEDEBUG=-all
  # No Mono or Gecko: nothing here needs them, and their installers would ask.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  cleanups+=("WINEPREFIX='$WINEPREFIX' wineserver -k 2>/dev/null; rm -rf '$root'")
  # One server for the whole run, instead of one started for each program.
  mkdir -p "$WINEPREFIX"
  wineserver -p
  wine wineboot --init >"$root/wineboot.log" 2>&1 || { cat "$root/wineboot.log" >&2; return 1; }
  ctest --test-dir build/ci-mingw-i686 --output-on-failure --no-tests=error
}

legs=("$@")
[ ${#legs[@]} -gt 0 ] || legs=(native windows)
for leg in "${legs[@]}"; do
  declare -F "leg_$leg" >/dev/null || { echo "test.sh: no leg '$leg'" >&2; exit 2; }
done
for leg in "${legs[@]}"; do
  echo "== $leg"
  "leg_$leg"
done
