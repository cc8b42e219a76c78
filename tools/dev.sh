#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds, and then either runs every
# test ("test") or starts the program ("run").
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev xdg-utils
          help2man dpkg-dev file desktop-file-utils appstream)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

build=build
cmake -S . -B "$build" -G Ninja
cmake --build "$build"

case "${1:-}" in
  test)
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j "$(nproc)"
    ;;
  run)
    exec "$build/app/dustral"
    ;;
  *)
    echo "usage: $0 test|run" >&2
    exit 2
    ;;
esac
