#!/usr/bin/env bash
# Installs what the Windows build needs on Debian 12 (the mingw-w64 cross
# compiler, Wine, GoogleTest's sources and NSIS for the installer),
# cross-builds the Qt-free libraries and their tests with the "windows"
# preset, and runs the tests under Wine, the installer's among them.
# Usage: tools/windows_tests.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine64 googletest nsis)
source tools/install_packages.sh
install_missing_packages "${packages[@]}"

build="${1:-build-windows}"
cmake --preset windows -B "$build"
cmake --build "$build" -j "$(nproc)"
# Each test program is one test; the Wine prefix is made first, once.
(cd "$build" && ctest --output-on-failure --timeout 300 -j "$(nproc)")
