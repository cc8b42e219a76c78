#!/usr/bin/env bash
# Fails when an include goes against the direction of the layers:
#   app -> ui (Qt) or winui (Win32) -> session -> engine -> settings -> window, platform
# The engine, the settings code, the window interfaces and the platform never
# include Qt, nor anything of the window's Qt code (ui/) or the program
# (app/). The platform knows nothing of the window or of the layers above
# it; the settings code nothing of the engine; the window interfaces only
# themselves; the engine has no captions of the window's templates
# (resources/), and the window's code nothing of the program (app/). The
# session sits between the window and the engine. Outside the tests, only
# platform/posix/ itself names the POSIX backend, and no POSIX header is
# included outside platform/. Usage: check_layers.sh [source root]
set -uo pipefail
root="${1:-$(dirname "$0")/..}"
cd "$root" || exit 2

failed=0

# forbid DIRS PATTERN WHY [--sources]: no file below DIRS includes a header
# matching PATTERN (an extended regex of the included name); with
# --sources the tests and their support folders are left out.
forbid() {
  local dirs="$1" pattern="$2" why="$3" only_sources="${4:-}"
  local found
  found=$(find $dirs -type f \( -name '*.h' -o -name '*.cpp' \) |
    { if [ -n "$only_sources" ]; then grep -v -e '_test\.cpp$' -e '/testing/'; else cat; fi; } |
    xargs -r grep -HnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)")
  if [ -n "$found" ]; then
    echo "$why:"
    echo "$found"
    failed=1
  fi
}

forbid "session engine settings platform window" 'Q|qt|ui/|winui/|app/' \
  "session/, engine/, settings/, platform/ and window/ include neither Qt nor ui/ nor winui/ nor app/"
forbid "engine settings platform window" 'session/' \
  "only ui/ and app/ use the session"
forbid "platform" 'window/|engine/|settings/|resources/' \
  "platform/ knows nothing of the window or of the layers above it"
forbid "settings" 'engine/' "settings/ knows nothing of the engine"
forbid "engine" 'resources/' "engine/ never includes resources/: the window captions the plan"
forbid "ui" 'app/' "ui/ never includes app/"
forbid "winui" 'Q|qt|ui/|app/' "winui/ (the Win32 windows) includes neither Qt nor ui/ nor app/"
forbid "window" 'platform/|engine/|settings/|resources/' "window/ includes only itself"
forbid "app session engine settings window ui platform/*.h platform/*.cpp" 'platform/posix/' \
  "outside the tests, only the POSIX backend itself names the POSIX backend" --sources
# The system's own headers of POSIX and Linux belong to the backend.
forbid "app session engine settings window ui platform/*.h platform/*.cpp" \
  '(unistd|fcntl|dlfcn|dirent|pwd|grp|poll|termios|sys/[a-z_]+|linux/[a-z_]+)\.h' \
  "POSIX and Linux headers are included only in platform/<system>/" --sources

if [ "$failed" -eq 0 ]; then echo "layers: every include goes downwards"; fi
exit "$failed"
