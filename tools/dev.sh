#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds, and then either runs every
# check ("test") or starts the program ("run").
#
# "test": the layout check (clang-format), then the dev build (everything,
# warnings as errors) and its tests, then the engine, settings and platform
# tests under AddressSanitizer with UBSan and under ThreadSanitizer. Each
# build has its own directory (CMakePresets.json); ccache is used when it is
# installed.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
          qt6-base-dev qt6-base-dev-tools libgl-dev xdg-utils clang-format git
          help2man dpkg-dev file desktop-file-utils appstream)
# The tests also cross-build for Windows and run that build under Wine;
# installed in the same go, as one apt-get run is much quicker than two.
if [ "${1:-}" = test ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine64 googletest nsis)
fi

source tools/install_packages.sh
install_missing_packages "${packages[@]}"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

# Configures, builds and tests one preset.
build_and_test() {
  local preset=$1
  cmake --preset "$preset" "${launcher[@]}"
  cmake --build --preset "$preset"
  ctest --preset "$preset" -j "$(nproc)"
}

# Every tracked source laid out as .clang-format says.
check_format() {
  git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
}

case "${1:-}" in
  test)
    check_format
    for preset in dev asan-ubsan tsan; do build_and_test "$preset"; done
    # The Windows build, cross-compiled and tested under Wine.
    tools/windows_tests.sh
    ;;
  run)
    cmake --preset dev "${launcher[@]}"
    cmake --build --preset dev
    exec build/app/dustral
    ;;
  *)
    echo "usage: $0 test|run" >&2
    exit 2
    ;;
esac
