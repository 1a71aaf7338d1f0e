#!/bin/bash
# Instructions per call of each case of WindAccelerationBench.cpp, counted by
# callgrind, and each case's ratio to the baseline of three sine-cosine pairs.
# Usage: bench/instructions-per-call.sh [galeboard_bench]
# (a Release build: cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release
#  -DGALEBOARD_BENCH=ON -DGALEBOARD_TESTS=OFF -DGALEBOARD_TOOLS=OFF &&
#  cmake --build build-bench --target galeboard_bench)
#
# Google Benchmark picks its iteration count by time, so each case runs twice,
# for two minimum times, and the figure is the difference of the benchmark
# function's inclusive instructions over the difference of its iterations:
# the one-off set-up (the flight inputs, the layers) drops out. Iterations are
# the calls of the wind step, or of sincos divided by three for the baseline.
set -euo pipefail

bench=${1:-build-bench/bin/galeboard_bench}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Prints "<inclusive instructions of BM_$1> <calls of $2>" for one run of BM_$1.
count() {
  local name=$1 callee=$2 time=$3 file=$out/$1-$3.out
  valgrind --tool=callgrind --callgrind-out-file="$file" "$bench" --benchmark_filter="^BM_$name\$" \
    --benchmark_min_time="$time" >/dev/null 2>&1
  callgrind_annotate --inclusive=yes --tree=caller "$file" 2>/dev/null | awk -v bm="BM_$name[(]" -v callee="$callee" '
    NF == 0 { calls = 0; next }
    { gsub(/,/, "", $1) }
    $3 == "<" { c = $0; sub(/.*\(/, "", c); sub(/x\).*/, "", c); gsub(/,/, "", c); calls += c }
    $3 == "*" && $0 ~ bm { ir = $1 }
    $3 == "*" && $0 ~ callee { n += calls }
    END { print ir, n }'
}

printf '%-24s %12s %8s\n' case instructions ratio
base=
for name in BaselineThreeSinCos GlobalWindOnly ShearOnly LocalWindOnly AllThreeOn AllLevelsZero; do
  callee=ComputeWindAcceleration
  per=1
  if [ "$name" = BaselineThreeSinCos ]; then
    callee=sincos
    per=3
  fi
  read -r ir1 n1 < <(count "$name" "$callee" 0.2)
  read -r ir2 n2 < <(count "$name" "$callee" 0.5)
  ipc=$(awk -v a="$ir1" -v b="$ir2" -v m="$n1" -v n="$n2" -v p="$per" 'BEGIN { printf "%.1f", (b - a) / ((n - m) / p) }')
  [ -n "$base" ] || base=$ipc
  printf '%-24s %12s %8s\n' "$name" "$ipc" "$(awk -v a="$ipc" -v b="$base" 'BEGIN { printf "%.3f", a / b }')"
done
