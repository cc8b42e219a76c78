#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine, in the build tree's own
# Wine prefix (made on first use), without a display and without Wine's
# debug chatter. Usage: wine_run.sh WINE PREFIX PROGRAM [ARGUMENTS...]
set -euo pipefail
wine="$1"
export WINEPREFIX="$2"
shift 2
export WINEDEBUG=-all
# No Mono or Gecko installer prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
exec "$wine" "$@"
