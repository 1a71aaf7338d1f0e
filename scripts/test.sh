#!/usr/bin/env bash
# Builds from scratch and runs every test. Usage: scripts/test.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/ci-native
rm -rf "$build"
cmake --preset ci-native
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure
