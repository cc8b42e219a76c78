#!/usr/bin/env bash
# Under Wine, the clean of 100,000 files on the Win32 backend against
# "cmd /c del /s /q" on the same tree and against the floor program (the same
# NT calls, nothing else). Each run gets a fresh tree; the times are wall
# clock times of the whole process, Wine's start included.
# Usage: bench/wine_compare.sh [windows build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build-windows}" && pwd)"
bench="$build/bench/win32_clean_bench.exe"
wine="$(grep -m1 '^DUSTRAL_WINE:' "$build/CMakeCache.txt" | cut -d= -f2)"
run() { tools/wine_run.sh "$wine" "$build/wine-prefix" "$@"; }
scratch="$build/test-scratch/wine-bench"

for what in dustral floor del; do
  rm -rf "$scratch"
  mkdir -p "$scratch"
  run "$bench" make "Z:$scratch/tree"
  start=$(date +%s.%N)
  case "$what" in
    dustral) run "$bench" clean "Z:$scratch/tree" ;;
    floor) run "$bench" floor "Z:$scratch/tree" ;;
    del) run cmd /c del /s /q "Z:${scratch//\//\\}\\tree\\*" > /dev/null ;;
  esac
  end=$(date +%s.%N)
  left=$(find "$scratch/tree" -type f | wc -l)
  printf '%-8s %6.2f s wall, %d files left\n' "$what" "$(echo "$end - $start" | bc)" "$left"
done
rm -rf "$scratch"
