#!/usr/bin/env bash
# Times `dustral --preview` against the sweep alone on one tree of 100,000
# files in 1,000 directories (half *.tmp), which neither changes, so the
# runs alternate on the same warm tree:
#   preview        BUILD_DIR/app/dustral --preview >/dev/null, its settings
#                  holding one entry "*.tmp" on the tree with sub-folders
#   sweep          BUILD_DIR/bench/dustral_gather_bench TREE (names only)
#   sweep+look     BUILD_DIR/bench/dustral_gather_bench TREE guarded (also
#                  each file's identity, size and time, as --preview gathers)
#   find           find TREE -name '*.tmp' >/dev/null
#
#   bench/preview_bench.sh BUILD_DIR [RUNS]
#
# Needs hyperfine. Prints hyperfine's summary (mean, spread, ratios).
set -euo pipefail

build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-30}
command -v hyperfine >/dev/null || { echo "needs hyperfine" >&2; exit 1; }
work=$(mktemp -d "$build/preview-bench-XXXXXX")
trap 'rm -rf -- "$work"' EXIT

"$build/bench/dustral_bench" make "$work/tree"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
  XDG_CACHE_HOME=$work/cache TEMP=$work/temp TMP=$work/temp TMPDIR=$work/temp
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Orlemont Software" "$TEMP"
key='[HKEY_CURRENT_USER\Software\Orlemont Software\dustral'
cat >"$XDG_CONFIG_HOME/Orlemont Software/registry.reg" <<SETTINGS
REGEDIT4

$key\\Default Settings]
"Recent Clear"=dword:00000000
"Temp Clear"=dword:00000000
"Netscape Clear"=dword:00000000
"Explorer Clear"=dword:00000000
"Explorer History Clear"=dword:00000000
"Number of Items"=dword:00000001

$key\\Entries]
"00000_FilePath"="$work/tree"
"00000_WildCard"="*.tmp"
"00000_Recurse"=dword:00000001
SETTINGS

listed=$("$build/app/dustral" --preview 2>/dev/null | wc -l)
[ "$listed" -eq 50000 ] || { echo "the preview listed $listed files, not 50000" >&2; exit 1; }

hyperfine -N --warmup 3 --runs "$runs" \
  -n preview "$build/app/dustral --preview" \
  -n sweep "$build/bench/dustral_gather_bench $work/tree" \
  -n sweep+look "$build/bench/dustral_gather_bench $work/tree guarded" \
  -n find "find $work/tree -name *.tmp" \
  --output=null
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
