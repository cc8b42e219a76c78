#!/usr/bin/env bash
# Times the whole program against `find -delete` and a floor program.
#
#   bench/whole_program.sh BUILD_DIR [--files 10k|100k|1m] [--rounds N] [--work DIR]
#
#   e.g. bench/whole_program.sh build --files 100k --rounds 5
#
# After one uncounted warm-up run of each on 100 files, each round runs the
# three contenders, in an order that turns round by round, each on a fresh
# tree of its own, and checks after each run that exactly the *.tmp files
# went:
#   dustral  the built program, unattended: a scratch home whose settings
#            hold one entry "*.tmp" on the tree with sub-directories,
#            "Auto-clean" and "Quit after cleaning" on, no category ticked
#   find     find TREE -name '*.tmp' -delete
#   floor    BUILD_DIR/bench/floor_delete TREE (bench/floor_delete.cpp)
# It prints each round's wall times, then the medians of the per-round
# ratios, each contender's peak memory and the load average.
#
# Trees: 10k = 10,000 files in 100 directories, 100k = 100,000 in 1,000
# (the default), 1m = 1,000,000 in 10,000; half of the files are *.tmp. All
# trees are made before the first run, since a file system without a
# journal reuses freed inodes only after a while, which would slow the
# making of later trees and their runs.
#
# Options and environment:
#   --rounds N   rounds (default 5); the trees take 3 x N times the files
#   --work DIR   the trees and the scratch home go into a fresh directory
#                under DIR (default: under BUILD_DIR), removed at the end
#   DUSTRAL_CMD  the command line of the dustral contender, split at spaces
#                (default: BUILD_DIR/app/dustral); each {} becomes the
#                tree's path, e.g. DUSTRAL_CMD='build/app/dustral --clean {}'.
#                The settings file is written for every run all the same.
#
# Needs bash 5, BUILD_DIR built (cmake --build BUILD_DIR) and GNU time as
# /usr/bin/time (Debian: apt-get install time). The wall time of every
# contender includes starting it through timeout and /usr/bin/time, about
# a millisecond, the same for each.
set -euo pipefail

usage() {
  sed -n '4p' "$0" | sed 's/^#   //' >&2
  exit 2
}

build=${1:-}
case $build in "" | -*) usage ;; esac
shift
size=100k rounds=5 parent=$build
while [ $# -gt 0 ]; do
  case $1 in
    --files) size=${2:?}; shift 2 ;;
    --rounds) rounds=${2:?}; shift 2 ;;
    --work) parent=${2:?}; shift 2 ;;
    *) usage ;;
  esac
done
case $size in
  10k) directories=100 ;;
  100k) directories=1000 ;;
  1m) directories=10000 ;;
  *) usage ;;
esac
[[ $rounds =~ ^[1-9][0-9]*$ ]] || usage
files=$((directories * 100))

build=$(cd "$build" && pwd)
tree_maker=$build/bench/dustral_bench
floor=$build/bench/floor_delete
read -ra dustral_cmd <<<"${DUSTRAL_CMD:-$build/app/dustral}"
for program in "$tree_maker" "$floor" "${dustral_cmd[0]}"; do
  command -v "$program" >/dev/null || { echo "missing $program: build first (cmake --build $build)" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "needs GNU time as /usr/bin/time (apt-get install time)" >&2; exit 1; }

LC_NUMERIC=C  # a decimal point in $EPOCHREALTIME and awk
work=$(mktemp -d "$(cd "$parent" && pwd)/whole-program-XXXXXX")
trap 'rm -rf -- "$work"' EXIT
trees=$((3 * rounds))
time_limit=$((60 + files / 2000))  # seconds; a run that takes longer waits for something

# Enough free inodes for every tree, with a tenth to spare for the others
# on this machine (a file system that reports none, such as btrfs, has no
# fixed number).
free_inodes=$(df --output=iavail "$work" | tail -1 | tr -d ' ')
needed=$((trees * (files + directories + 1)))
if [ "${free_inodes:-0}" -gt 0 ] && [ "$needed" -gt $((free_inodes * 9 / 10)) ]; then
  echo "$trees trees need $needed inodes, $free_inodes are free: use fewer --rounds" >&2
  exit 1
fi

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "making $trees trees of $files files in $directories directories under $work"
start=$EPOCHREALTIME
for ((t = 1; t <= trees; t++)); do
  "$tree_maker" make "$work/tree$t" "$directories" || { echo "cannot make $work/tree$t" >&2; exit 1; }
done
for who in dustral find floor; do  # one directory of 100 files each
  "$tree_maker" make "$work/warm-up-$who" 1 || { echo "cannot make $work/warm-up-$who" >&2; exit 1; }
done
awk -v s="$start" -v e="$EPOCHREALTIME" 'BEGIN { printf "made them in %.1f s\n", e - s }'

# The scratch home of the dustral contender: its settings, caches, trash
# and temporary files all stay inside the work directory. Set here for
# every contender, so that none pays for an extra program setting it.
home=$work/home
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/runtime \
  TEMP=$home/tmp TMP=$home/tmp TMPDIR=$home/tmp QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/tmp"
mkdir -m 700 "$home/runtime"

# The application's key is the program's file name without its extension.
application=${dustral_cmd[0]##*/}
application=${application%.*}
settings_file="$home/.config/Orlemont Software/registry.reg"
mkdir -p "${settings_file%/*}"

# A text as a quoted value of the registry editor's format.
quoted() {
  local text=${1//\\/\\\\}
  printf '"%s"' "${text//\"/\\\"}"
}

# One entry "*.tmp" on the tree, with sub-directories; every category off;
# the other values at their defaults. The file is written as the program
# saves it, byte for byte, as it finds it when the user has set it up in
# the window: the run then has no change to save.
write_settings() {
  local key="HKEY_CURRENT_USER\\Software\\Orlemont Software\\$application" value
  {
    printf 'REGEDIT4\n\n[%s\\Default Settings]\n' "$key"
    for value in "Auto-clean" "Quit after cleaning" "Number of Items"; do
      printf '"%s"=dword:00000001\n' "$value"
    done
    for value in "Recent Clear" "Temp Clear" "Netscape Clear" "Explorer Clear" \
      "Explorer History Clear" "Empty Recycle Bin"; do
      printf '"%s"=dword:00000000\n' "$value"
    done
    printf '"Save settings"=dword:00000001\n"Auto-run EXE"=dword:00000000\n"Exe to run"=""\n'
    for value in "Del Read-Only Files" "Del System Files" "Del Hidden Files"; do
      printf '"%s"=dword:00000000\n' "$value"
    done
    printf '"List Field 1"=dword:0000012c\n"List Field 2"=dword:00000032\n'
    printf '"List Field 3"=dword:00000032\n'
    printf '\n[%s\\Entries]\n' "$key"
    printf '"00000_FilePath"=%s\n' "$(quoted "$1")"
    printf '"00000_WildCard"="*.tmp"\n"00000_Recurse"=dword:00000001\n'
  } >"$settings_file"
  cp "$settings_file" "$work/settings.written"
}

# Fails loudly unless the tree holds its directories and exactly the files
# that are not *.tmp.
check_tree() {  # WHO TREE DIRECTORIES
  find "$2" -mindepth 1 -printf '%y %f\n' | awk -v who="$1" -v tree="$2" \
    -v directories="$3" -v kept="$(($3 * 50))" '
    $1 == "d" { d++; next }
    $1 == "f" && /\.dat$/ { f++; next }
    { other++ }
    END {
      if (d == directories && f == kept && !other) exit 0
      printf "%s left a wrong tree in %s: %d directories (want %d), %d .dat files (want %d), %d other entries (want 0)\n",
        who, tree, d, directories, f, kept, other > "/dev/stderr"
      exit 1
    }'
}

# Runs one contender on a tree of DIRECTORIES directories (default: the
# benchmark's); sets `wall` (milliseconds) and `rss` (KiB).
run() {  # WHO TREE [DIRECTORIES]
  local who=$1 tree=$2 argv start end status=0 why=
  case $who in
    dustral)
      write_settings "$tree"
      argv=("${dustral_cmd[@]//\{\}/$tree}")
      ;;
    find) argv=(find "$tree" -name '*.tmp' -delete) ;;
    floor) argv=("$floor" "$tree") ;;
  esac
  sync
  start=$EPOCHREALTIME
  timeout "$time_limit" /usr/bin/time -f %M -o "$work/rss" "${argv[@]}" \
    </dev/null >"$work/output" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    ((status != 124)) || why=", still running after $time_limit s"
    echo "$who failed on $tree with status $status$why" >&2
    cat "$work/output" >&2
    exit 1
  fi
  end=$EPOCHREALTIME
  wall=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", (e - s) * 1000 }')
  rss=$(tail -1 "$work/rss")
  if [ "$who" = dustral ] && ! cmp -s "$settings_file" "$work/settings.written"; then
    echo "note: dustral rewrote its settings file (the bench's file differs from what it saves)" >&2
  fi
  check_tree "$who" "$tree" "${3:-$directories}"
}

median() {
  sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Each contender once on a small tree first, not counted, so that the first
# timed run does not pay alone for loading the programs into the cache.
for who in dustral find floor; do
  run "$who" "$work/warm-up-$who" 1
done

contenders=(dustral find floor)
declare -A walls peak
tree=0
for ((r = 1; r <= rounds; r++)); do
  line="round $r:"
  for ((k = 0; k < 3; k++)); do
    who=${contenders[(r - 1 + k) % 3]}
    run "$who" "$work/tree$((++tree))"
    walls[$who]+="$wall "
    [ "${peak[$who]:-0}" -ge "$rss" ] || peak[$who]=$rss
    line+=" $who $wall ms"
  done
  echo "$line"
done

ratios() {  # the median over the rounds of $1's time divided by $2's
  paste <(tr ' ' '\n' <<<"${walls[$1]}") <(tr ' ' '\n' <<<"${walls[$2]}") |
    awk 'NF == 2 { printf "%.4f\n", $1 / $2 }' | median
}
medians() { tr ' ' '\n' <<<"${walls[$1]}" | grep . | median; }

echo
echo "$size files ($files in $directories directories), $rounds rounds, medians:"
printf '  wall: dustral %s ms, find %s ms, floor %s ms\n' \
  "$(medians dustral)" "$(medians find)" "$(medians floor)"
printf '  per-round ratios: dustral/find %.2f, dustral/floor %.2f, floor/find %.2f\n' \
  "$(ratios dustral find)" "$(ratios dustral floor)" "$(ratios floor find)"
printf '  peak memory (largest max RSS of the rounds): dustral %s KiB, find %s KiB, floor %s KiB\n' \
  "${peak[dustral]}" "${peak[find]}" "${peak[floor]}"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
