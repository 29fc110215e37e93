#!/usr/bin/env bash
# Configures the Windows build of this tree (mingw-w64, Release, in $PAKICO_BUILD/win: build/win
# unless set) and builds the targets named, or everything. The other scripts build through it.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${PAKICO_BUILD:-$root/build}/win"
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null &&
    cmake --build "$build" -j "$(nproc)" "${targets[@]}"
