#!/usr/bin/env bash
# Times `find DIR -name '*.tmp' -delete` against Dustral's sweep and deletion
# (dustral_bench clean) on the same tree of 100,000 files in 1,000
# directories, several runs each, and prints the medians.
#
#   bench/compare.sh BUILD_DIR/bench/dustral_bench [RUNS] [PARENT]
set -euo pipefail

bench=${1:?usage: $0 path/to/dustral_bench [runs] [parent directory]}
runs=${2:-7}
parent=${3:-${TMPDIR:-/tmp}}
work=$(mktemp -d "$parent/dustral-compare-XXXXXX")
trap 'rm -rf -- "$work"' EXIT

# Makes a fresh tree, runs the command on it and prints the wall-clock and
# the processor time (user and system) it took, in milliseconds; checks that
# exactly the 50,000 *.tmp files went.
time_on_fresh_tree() {
  rm -rf -- "$work/tree"
  "$bench" make "$work/tree"
  sync
  local TIMEFORMAT='%R %U %S' times left
  times=$({ time "$@" >/dev/null; } 2>&1)
  left=$(find "$work/tree" -type f | wc -l)
  if [ "$left" -ne 50000 ]; then
    echo "expected 50000 files left, found $left" >&2
    exit 1
  fi
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$times"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

find_wall=() find_cpu=() dustral_wall=() dustral_cpu=()
for ((i = 1; i <= runs; i++)); do
  # Alternate which goes first, so that neither always meets a warmer cache.
  for who in $( ((i % 2)) && echo find dustral || echo dustral find); do
    if [ "$who" = find ]; then
      result=$(time_on_fresh_tree find "$work/tree" -name '*.tmp' -delete)
      read -r wall cpu <<<"$result"
      find_wall+=("$wall") find_cpu+=("$cpu")
    else
      result=$(time_on_fresh_tree "$bench" clean "$work/tree")
      read -r wall cpu <<<"$result"
      dustral_wall+=("$wall") dustral_cpu+=("$cpu")
    fi
  done
  echo "run $i: find ${find_wall[-1]} ms (cpu ${find_cpu[-1]}), dustral ${dustral_wall[-1]} ms (cpu ${dustral_cpu[-1]})"
done

fw=$(printf '%s\n' "${find_wall[@]}" | median)
fc=$(printf '%s\n' "${find_cpu[@]}" | median)
dw=$(printf '%s\n' "${dustral_wall[@]}" | median)
dc=$(printf '%s\n' "${dustral_cpu[@]}" | median)
echo "median of $runs runs: find $fw ms (cpu $fc ms), dustral $dw ms (cpu $dc ms)"
awk -v fw="$fw" -v dw="$dw" -v fc="$fc" -v dc="$dc" \
  'BEGIN { printf "dustral / find = %.2f wall-clock, %.2f processor time\n", dw / fw, dc / fc }'
