#!/usr/bin/env bash
# Builds from scratch and runs every test: natively, then the 64-bit and
# 32-bit Windows builds under Wine, the Microsoft-ABI builds for the simulator
# itself, the sanitizer build, valgrind, and the fuzzers for a bounded time.
# Usage: scripts/test.sh [LEG...]  (legs: format native windows msabi sanitize
# valgrind fuzz; all of them when none is named). FUZZ_SECONDS sets each
# fuzzer's time (default 60).
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

# Wine's loader for a Windows build, as its configuration found it (one of the
# two of Debian's wine32 and wine64, or one on the PATH), and the wineserver
# that belongs to it.
wine_loader() { sed -n 's/^GALEBOARD_WINE:FILEPATH=//p' "build/$1/CMakeCache.txt"; }
wine_server() {
  local dir s
  dir=$(dirname "$(readlink -f "$1")")
  for s in "$dir/wineserver64" "$dir/wineserver32" "$dir/wineserver"; do
    [ -x "$s" ] && { echo "$s"; return; }
  done
  command -v wineserver
}

# in_wine PRESET WINEARCH COMMAND...: runs the command with the Windows build's
# Wine, in a fresh prefix of its own so that nothing of the user's Wine setup
# takes part, and stops that prefix's server when the script ends.
in_wine() {
  local loader server root
  loader=$(wine_loader "$1")
  [ -n "$loader" ] && [ -x "$loader" ] || { echo "test.sh: no Wine loader for $1" >&2; return 1; }
  server=$(wine_server "$loader")
  root=$(mktemp -d "${TMPDIR:-/tmp}/galeboard-wine.XXXXXX")
  # Wine keeps the read-only attribute in the Linux permission bits, which do
  # not bind root, while Windows' binds everyone. So root runs Wine in a user
  # namespace of its own with no one mapped: its files are still its own, but
  # their permission bits apply to it as to anyone.
  local as=()
  if [ "$(id -u)" = 0 ]; then
    unshare --user true || { echo "test.sh: root cannot make a user namespace (unshare --user)" >&2; return 1; }
    as=(unshare --user)
  fi
  # A global: the EXIT trap stops the server when the leg fails half-way.
  # (Debian's wineserver keeps its socket in a folder of TMPDIR: ours.)
  cleanups+=("TMPDIR='$root' WINEPREFIX='$root/prefix' '$server' -k 2>/dev/null; rm -rf '$root'")
  (
    export WINEPREFIX=$root/prefix WINEARCH=$2 WINEDEBUG=-all WINESERVER=$server TMPDIR=$root
    # No Mono or Gecko: nothing here needs them, and their installers would ask.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    # One server for the whole run, which wineboot fills with Wine's services:
    # started by a test instead, they would hold CTest's output open.
    "${as[@]}" "$server" -p || exit 1
    "${as[@]}" "$loader" wineboot --init >"$root/wineboot.log" 2>&1 || { cat "$root/wineboot.log" >&2; exit 1; }
    shift 2
    "${as[@]}" "$@"
  )
}

# wine_tests PRESET WINEARCH: every test of a Windows build under Wine; fails
# when one fails. Prints how many ran.
wine_tests() {
  local build=build/$1
  in_wine "$1" "$2" ctest --test-dir "$build" --output-on-failure --no-tests=error || return 1
  # CTest's log holds every program's output, Google Test's counts among it.
  awk -v arch="$2" -v loader="$(wine_loader "$1")" '
    /^[0-9]+\/[0-9]+ Testing: / { split($1, n, "/"); runs = n[2] }
    /^\[==========\] [0-9]+ tests? from .* ran\./ { tests += $2 }
    END { printf "-- windows: %d tests in %d CTest tests ran under Wine (%s, %s), all passed\n", tests, runs, arch, loader }
  ' "$build/Testing/Temporary/LastTest.log"
}

# Whether a loader is a 32-bit program (Debian's wine is a script that picks
# one of the two loaders, the 64-bit one when wine32 is missing).
is_32bit_program() {
  [ "$(head -c 5 "$(readlink -f "$1")" | od -An -tx1 | tr -d ' \n')" = 7f454c4601 ]
}

leg_windows() {
  fresh_build ci-mingw-i686
  scripts/check-exports.sh build/ci-mingw-i686/bin/Galeboard.dll
  fresh_build ci-mingw-x86_64
  scripts/check-exports.sh build/ci-mingw-x86_64/bin/Galeboard.dll

  # 64-bit Windows programs run under 64-bit Wine on any x86-64 Linux.
  wine_tests ci-mingw-x86_64 win64

  # 32-bit ones need a kernel that runs 32-bit programs, which some are built
  # or booted without: there the i686 library is built and its exports
  # checked, and the leg says loudly that its tests did not run.
  if ! scripts/runs-32bit.sh; then
    echo "!! windows: this machine cannot run 32-bit programs; the i686 tests under Wine were NOT run" >&2
  elif ! is_32bit_program "$(wine_loader ci-mingw-i686)"; then
    echo "!! windows: no 32-bit Wine (Debian: wine32:i386); the i686 tests under Wine were NOT run" >&2
  else
    wine_tests ci-mingw-i686 win32
  fi
}

# The Microsoft-ABI Galeboard.dll for the simulator itself, 32-bit and 64-bit:
# each checked without running it against the simulator's binary interface
# (exports, imports, vtables), and flown in the stand-in simulator under Wine:
# the 64-bit one everywhere, the 32-bit one where the machine runs 32-bit
# programs (many kernels cannot), and checked statically only elsewhere.
leg_msabi() {
  fresh_build ci-msabi-i686
  fresh_build ci-msabi-x86_64
  if ! grep -q standin_flight <<<"$(ctest --test-dir build/ci-msabi-x86_64 -N)"; then
    echo "test.sh: no 64-bit Wine to fly the stand-in simulator (apt-get install wine64)" >&2
    return 1
  fi
  in_wine ci-msabi-x86_64 win64 ctest --test-dir build/ci-msabi-x86_64 --verbose --no-tests=error
  if scripts/runs-32bit.sh && is_32bit_program "$(wine_loader ci-msabi-i686)"; then
    in_wine ci-msabi-i686 win32 ctest --test-dir build/ci-msabi-i686 --verbose --no-tests=error
    echo "-- msabi: both Galeboard.dll flew in the stand-in simulator"
  else
    ctest --test-dir build/ci-msabi-i686 --verbose --no-tests=error -E standin_flight
    echo "-- msabi: the 32-bit Galeboard.dll is checked statically only (no 32-bit programs or no 32-bit Wine here);" \
      "the 64-bit one flew in the stand-in simulator"
  fi

  # The package command: both zips, each with the library and the manual only.
  local packages=build/ci-msabi-packages zip listing
  rm -rf "$packages"
  scripts/package.sh "$packages"
  for zip in x86 x64; do
    listing=$(cd "$packages" && cmake -E tar tf Galeboard-*-$zip.zip | grep -v '/$' | LC_ALL=C sort)
    if [ "$listing" != $'Doc/Galeboard.html\nModules/Plugin/Galeboard.dll' ]; then
      echo "test.sh: the $zip package holds:"$'\n'"$listing" >&2
      return 1
    fi
  done
}

# Every C++ source as clang-format would write it. And no include by a path
# relative to the including file: includes name their folder from a target's
# include root, which holds only the folders that target may see, so that a
# "../host/Host.h" would walk round the wall the roots put up.
leg_format() {
  git ls-files -z '*.cpp' '*.h' '*.c' | xargs -0 clang-format --dry-run --Werror
  if git grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*\.\./' -- '*.cpp' '*.h' '*.c'; then
    echo "!! format: an include above climbs out of its folder; name the folder from the include root" >&2
    return 1
  fi
}

leg_sanitize() {
  fresh_build asan-ubsan
  ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/asan-ubsan --output-on-failure --no-tests=error
}

# The native tests once more under valgrind's memcheck: no errors, no leaks.
# The leg builds what it runs: the native folder is configured (afresh when
# missing; a folder of another source tree makes CMake stop) and brought up to
# date, and the programs are those its CTest lists. No test listed, or none
# run, fails the leg. Two run in every other leg but not here: the allocation
# test replaces the global allocator to count calls, which memcheck replaces
# too, so that it would report its own mismatch; and the test of a 100 MB
# settings file would take memcheck a quarter of an hour.
leg_valgrind() {
  local build=build/ci-native
  # The tests on, whatever an earlier configure of the folder chose.
  cmake --preset ci-native -DGALEBOARD_TESTS=ON
  cmake --build "$build" -j "$jobs"
  local programs=() p ran=0 failed=0
  mapfile -t programs < <(ctest --test-dir "$build" -N -V | sed -n 's/^[0-9]*: Test command: \([^ ]*\).*/\1/p')
  if [ ${#programs[@]} -eq 0 ]; then
    echo "!! valgrind: CTest lists no tests in $build" >&2
    return 1
  fi
  for p in "${programs[@]}"; do
    if [ -z "$p" ]; then
      echo "!! valgrind: CTest finds no program for a listed test: it was not built" >&2
      failed=1
      continue
    fi
    case $p in
      "$(pwd -P)/$build"/*) ;;
      *)
        echo "-- valgrind: $p is no test program of this build, left out"
        continue
        ;;
    esac
    [ "$(basename "$p")" != wind_allocation_test ] || continue
    if [ ! -x "$p" ]; then
      echo "!! valgrind: $p was not built" >&2
      failed=1
      continue
    fi
    echo "-- valgrind $(basename "$p")"
    valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect,possible \
      --errors-for-leak-kinds=definite,indirect,possible "$p" --gtest_brief=1 \
      --gtest_filter='-*HundredMegabytes*' || failed=1
    ran=$((ran + 1))
  done
  if [ "$ran" -eq 0 ]; then
    echo "!! valgrind: no test program ran" >&2
    return 1
  fi
  echo "-- valgrind: $ran test programs"
  return $failed
}

leg_fuzz() {
  fresh_build fuzz
  local seconds=${FUZZ_SECONDS:-60} f name work
  work=$(mktemp -d "${TMPDIR:-/tmp}/galeboard-fuzz.XXXXXX")
  cleanups+=("rm -rf '$work'")
  for f in build/fuzz/bin/*_fuzz; do
    name=$(basename "$f")
    mkdir -p "$work/$name"
    echo "-- $name for ${seconds}s"
    # New inputs go to the scratch corpus; the seeds in the repository stay.
    # Inputs of up to 16 KiB from the start (their repeat commands stand for
    # files of megabytes); a unit that takes half a minute is a hang.
    (cd "$work" && "$OLDPWD/$f" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=16384 -len_control=0 \
      -timeout=30 -print_final_stats=1 "$name" "$OLDPWD/fuzz/corpus/$name")
  done
}

legs=("$@")
[ ${#legs[@]} -gt 0 ] || legs=(format native windows msabi sanitize valgrind fuzz)
for leg in "${legs[@]}"; do
  declare -F "leg_$leg" >/dev/null || { echo "test.sh: no leg '$leg'" >&2; exit 2; }
done
for leg in "${legs[@]}"; do
  echo "== $leg"
  start=$SECONDS
  "leg_$leg"
  echo "== $leg: done in $((SECONDS - start)) s"
done
