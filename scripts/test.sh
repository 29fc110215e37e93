#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: native unit tests
# (AddressSanitizer, UBSan), Win32 tests and end-to-end tests under Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export PAKICO_BUILD="$root/build"
jobs=$(nproc)

"$root/scripts/setup.sh" || exit 1

status=0
echo "== native build and unit tests"
cmake -S "$root" -B "$PAKICO_BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
    cmake --build "$PAKICO_BUILD/native" -j "$jobs" || exit 1
(cd "$PAKICO_BUILD/native" && ctest --output-on-failure -j "$jobs") || status=1

echo "== Windows build"
cmake -S "$root" -B "$PAKICO_BUILD/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null &&
    cmake --build "$PAKICO_BUILD/win" -j "$jobs" || exit 1

echo "== Win32 and end-to-end tests under Wine"
source "$root/scripts/wine-env.sh"
trap pakico_cleanup EXIT
pakico_start_display || exit 1
pakico_start_prefix
export PAKICO_WINE_READY=1
# Wine programs share one wineserver and one display: run them one at a time.
(cd "$PAKICO_BUILD/win" && ctest --output-on-failure) || status=1

exit $status
