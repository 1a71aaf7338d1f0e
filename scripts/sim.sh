#!/usr/bin/env bash
# The main job: builds the module and galeboard-sim (Release) and flies the
# default scenario, or the scenario and options given, e.g.
#   scripts/sim.sh scenarios/lander-mars.scn --out galeboard-out/mars
# The tool prints a summary and where the trace and the pictures are.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
mkdir -p "$build"
echo "Building galeboard-sim and Galeboard.dll in $build ..."
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGALEBOARD_TESTS=OFF &&
       cmake --build "$build" -j2 --target galeboard-sim Galeboard; } >"$build/build.log" 2>&1; then
  cat "$build/build.log"
  exit 1
fi
exec "$build/bin/galeboard-sim" "$@"
