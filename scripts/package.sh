#!/usr/bin/env bash
# Makes the packages a pilot unzips into the simulator's folder: one for the
# 32-bit simulator and one for the 64-bit one, each holding
# Modules/Plugin/Galeboard.dll (Microsoft-ABI build) and the pilot's manual
# Doc/Galeboard.html. Usage: scripts/package.sh [OUTPUT-FOLDER]
# (default build/packages); prints each package with its contents.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/packages}")
mkdir -p "$out"

for arch in i686 x86_64; do
  cmake --preset msabi-$arch >/dev/null
  cmake --build build/msabi-$arch -j 2 --target Galeboard
  cpack --config build/msabi-$arch/CPackConfig.cmake -B "$out" >/dev/null
done
rm -rf "$out/_CPack_Packages"
for zip in "$out"/Galeboard-*-x86.zip "$out"/Galeboard-*-x64.zip; do
  echo "$zip:"
  (cd "$out" && cmake -E tar tf "$zip" | sed 's/^/  /')
done
