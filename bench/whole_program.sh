#!/usr/bin/env bash
# Times the whole program against find and a floor program.
#
#   bench/whole_program.sh BUILD_DIR [--files SIZES] [--rounds N] [--work DIR] [--only NAMES]
#
#   e.g. bench/whole_program.sh build --files 10k,100k,1m --rounds 5
#
# Contenders, each started as a program of its own:
#   unattended  the built dustral, unattended: a scratch home whose settings
#               hold one entry "*.tmp" on the tree with sub-directories,
#               "Auto-clean" and "Quit after cleaning" on, no category ticked
#   clean       dustral --clean with the same settings
#   find        find TREE -name '*.tmp' -delete
#   floor       BUILD_DIR/bench/floor_delete TREE (bench/floor_delete.cpp)
#   preview     dustral --preview with the same settings, the names into a file
#   printf      find TREE -name '*.tmp' -printf '%s %p\n' into a file
# The first four delete: each run gets a fresh tree of its own, and after it
# the tree must hold exactly its files that are not *.tmp. The last two
# list: they share one tree per size, which nothing deletes, and must each
# name every *.tmp file. After one uncounted warm-up run of each, each round
# runs every contender once, in an order that turns round by round. It
# prints each round's wall times, then for each contender the median and
# the spread (lowest to highest) of its times and its peak memory (the
# largest max RSS of its runs), the medians of the per-round ratios
# unattended/find, clean/find, floor/find and preview/printf, and the load
# average at start and end.
#
# SIZES, a comma-separated list, each run in turn:
#   10k = 10,000 files in 100 directories, 100k = 100,000 in 1,000 (the
#   default), 1m = 1,000,000 in 10,000, or a number of files (a multiple of
#   100: 100 to a directory); half of the files are *.tmp.
#
# Options and environment:
#   --rounds N   rounds (default 5)
#   --work DIR   the trees and the scratch home go into a fresh directory
#                under DIR (default: under BUILD_DIR), removed at the end
#   --only NAMES the contenders to run, comma-separated (default: all six)
#   DUSTRAL      the program to time (default: BUILD_DIR/app/dustral)
# The trees of every round are made before the first run where the free
# inodes allow (a file system without a journal reuses freed inodes only
# after a while, which would slow the making of later trees and their
# runs), else each round's just before it. Making a tree of 1m takes from
# half a minute to several minutes, depending on the load.
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
sizes=100k rounds=5 parent=$build only=unattended,clean,find,floor,preview,printf
while [ $# -gt 0 ]; do
  case $1 in
    --files) sizes=${2:?}; shift 2 ;;
    --rounds) rounds=${2:?}; shift 2 ;;
    --work) parent=${2:?}; shift 2 ;;
    --only) only=${2:?}; shift 2 ;;
    *) usage ;;
  esac
done
[[ $rounds =~ ^[1-9][0-9]*$ ]] || usage
IFS=, read -ra sizes <<<"$sizes"
IFS=, read -ra contenders <<<"$only"
for who in "${contenders[@]}"; do
  case $who in unattended | clean | find | floor | preview | printf) ;; *) usage ;; esac
done
deleting=() listing=()
for who in "${contenders[@]}"; do
  case $who in preview | printf) listing+=("$who") ;; *) deleting+=("$who") ;; esac
done

# Directories for a size: 100 files to each.
directories_of() {
  case $1 in
    10k) echo 100 ;;
    100k) echo 1000 ;;
    1m) echo 10000 ;;
    *) [[ $1 =~ ^[1-9][0-9]*00$ ]] && echo $(($1 / 100)) || usage ;;
  esac
}
for size in "${sizes[@]}"; do directories_of "$size" >/dev/null; done

build=$(cd "$build" && pwd)
tree_maker=$build/bench/dustral_bench
floor=$build/bench/floor_delete
dustral=${DUSTRAL:-$build/app/dustral}
for program in "$tree_maker" "$floor" "$dustral"; do
  command -v "$program" >/dev/null || { echo "missing $program: build first (cmake --build $build)" >&2; exit 1; }
done
[ -x /usr/bin/time ] || { echo "needs GNU time as /usr/bin/time (apt-get install time)" >&2; exit 1; }

LC_NUMERIC=C  # a decimal point in $EPOCHREALTIME and awk
work=$(mktemp -d "$(cd "$parent" && pwd)/whole-program-XXXXXX")
trap 'rm -rf -- "$work"' EXIT

# The scratch home of dustral: its settings, caches, trash and temporary
# files all stay inside the work directory. Set here for every contender,
# so that none pays for an extra program setting it.
home=$work/home
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
  XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/runtime \
  TEMP=$home/tmp TMP=$home/tmp TMPDIR=$home/tmp QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/tmp"
mkdir -m 700 "$home/runtime"

# The application's key is the program's file name without its extension.
application=${dustral##*/}
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
# the window: the unattended run then has no change to save.
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

make_tree() {  # TREE DIRECTORIES
  "$tree_maker" make "$1" "$2" || { echo "cannot make $1" >&2; exit 1; }
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

# Fails loudly unless the listing names every *.tmp file of the tree.
check_listing() {  # WHO DIRECTORIES
  local named
  named=$(grep -c '\.tmp$' "$work/output" || true)
  [ "$named" -eq $(($2 * 50)) ] ||
    { echo "$1 named $named files, want $(($2 * 50))" >&2; exit 1; }
}

# Runs one contender on a tree of DIRECTORIES directories; sets `wall`
# (milliseconds) and `rss` (KiB).
run() {  # WHO TREE DIRECTORIES
  local who=$1 tree=$2 argv start end status=0 why=
  case $who in
    unattended) argv=("$dustral") ;;
    clean) argv=("$dustral" --clean) ;;
    find) argv=(find "$tree" -name '*.tmp' -delete) ;;
    floor) argv=("$floor" "$tree") ;;
    preview) argv=("$dustral" --preview) ;;
    printf) argv=(find "$tree" -name '*.tmp' -printf '%s %p\n') ;;
  esac
  case $who in unattended | clean | preview) write_settings "$tree" ;; esac
  sync
  start=$EPOCHREALTIME
  timeout "$time_limit" /usr/bin/time -f %M -o "$work/rss" "${argv[@]}" \
    </dev/null >"$work/output" 2>"$work/errors" || status=$?
  end=$EPOCHREALTIME
  if [ "$status" -ne 0 ]; then
    ((status != 124)) || why=", still running after $time_limit s"
    echo "$who failed on $tree with status $status$why" >&2
    cat "$work/output" "$work/errors" >&2
    exit 1
  fi
  wall=$(awk -v s="$start" -v e="$end" 'BEGIN { printf "%.1f", (e - s) * 1000 }')
  rss=$(tail -1 "$work/rss")
  if [ "$who" = unattended ] && ! cmp -s "$settings_file" "$work/settings.written"; then
    echo "note: dustral rewrote its settings file (the bench's file differs from what it saves)" >&2
  fi
  case $who in
    preview | printf) check_listing "$who" "$3" ;;
    *) check_tree "$who" "$tree" "$3" ;;
  esac
}

median() {
  sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"

# One warm-up run of each, not counted, so that the first timed run does
# not pay alone for loading the programs into the cache.
time_limit=60
make_tree "$work/warm-up-list" 1
for who in "${contenders[@]}"; do
  case $who in
    preview | printf) run "$who" "$work/warm-up-list" 1 ;;
    *) make_tree "$work/warm-up-$who" 1 && run "$who" "$work/warm-up-$who" 1 ;;
  esac
done

for size in "${sizes[@]}"; do
  directories=$(directories_of "$size")
  files=$((directories * 100))
  time_limit=$((60 + files / 2000))  # seconds; a run that takes longer waits for something

  # Trees: one per deleting contender and round, and one to list.
  per_round=${#deleting[@]}
  trees=$((per_round * rounds))
  free_inodes=$(df --output=iavail "$work" | tail -1 | tr -d ' ')
  needed=$(((trees + 1) * (files + directories + 1)))
  # A file system that reports no inodes (btrfs) has no fixed number.
  all_at_once=1
  if [ "${free_inodes:-0}" -gt 0 ] && [ "$needed" -gt $((free_inodes * 9 / 10)) ]; then
    all_at_once=0
    needed=$(((per_round + 1) * (files + directories + 1)))
    if [ "$needed" -gt $((free_inodes * 9 / 10)) ]; then
      echo "one round of $size needs $needed inodes, $free_inodes are free" >&2
      exit 1
    fi
  fi
  start=$EPOCHREALTIME
  made=0
  if ((${#listing[@]})); then make_tree "$work/list-$size" "$directories" && made=1; fi
  if ((all_at_once)); then
    for ((t = 1; t <= trees; t++)); do make_tree "$work/$size-$t" "$directories"; done
    made=$((made + trees))
  fi
  echo
  echo "$size: $files files in $directories directories; $made trees made in $(awk -v s="$start" \
    -v e="$EPOCHREALTIME" 'BEGIN { printf "%.1f", e - s }') s"
  ((all_at_once)) || echo "  (too few free inodes for all: each round's trees are made before it)"
  # The listing tree warm, as the listing contenders find it every round.
  if ((${#listing[@]})); then run "${listing[0]}" "$work/list-$size" "$directories"; fi

  declare -A walls=() peak=()
  tree=0
  for ((r = 1; r <= rounds; r++)); do
    if ((!all_at_once)); then
      for ((t = 1; t <= per_round; t++)); do make_tree "$work/$size-$((tree + t))" "$directories"; done
    fi
    line="round $r:"
    count=${#contenders[@]}
    for ((k = 0; k < count; k++)); do
      who=${contenders[(r - 1 + k) % count]}
      case $who in
        preview | printf) run "$who" "$work/list-$size" "$directories" ;;
        *)
          run "$who" "$work/$size-$((++tree))" "$directories"
          rm -rf -- "${work:?}/$size-$tree"
          ;;
      esac
      walls[$who]+="$wall "
      [ "${peak[$who]:-0}" -ge "$rss" ] || peak[$who]=$rss
      line+=" $who $wall ms"
    done
    echo "$line"
  done
  rm -rf -- "${work:?}/list-$size"

  echo "$size files ($files in $directories directories), $rounds rounds:"
  for who in "${contenders[@]}"; do
    tr ' ' '\n' <<<"${walls[$who]}" | grep . | sort -g | awk -v who="$who" -v rss="${peak[$who]}" '
      { v[NR] = $1 }
      END {
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "  %-10s median %8.1f ms, spread %.1f to %.1f ms, peak memory %d KiB\n", who, m, v[1], v[NR], rss
      }'
  done
  ratio() {  # the median over the rounds of $1's time divided by $2's
    [ -n "${walls[$1]:-}" ] && [ -n "${walls[$2]:-}" ] || return 0
    printf '  %s/%s %.2f\n' "$1" "$2" "$(paste <(tr ' ' '\n' <<<"${walls[$1]}") \
      <(tr ' ' '\n' <<<"${walls[$2]}") | awk 'NF == 2 { printf "%.4f\n", $1 / $2 }' | median)"
  }
  echo " medians of the per-round ratios:"
  ratio unattended find
  ratio clean find
  ratio floor find
  ratio preview printf
  unset walls peak
done
echo
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
