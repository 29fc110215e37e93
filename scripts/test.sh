#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: native unit tests
# (AddressSanitizer, UBSan), Win32 tests and end-to-end tests under Wine.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export PAKICO_BUILD="$root/build"
jobs=$(nproc)

"$root/scripts/setup.sh" || exit 1

# Runs one build's tests with their whole output in build/<layer>-tests.log; shows the
# output only around failures.
run_ctest() {
    local layer=$1 dir=$2
    shift 2
    local log="$PAKICO_BUILD/$layer-tests.log"
    if (cd "$dir" && ctest -V "$@" >"$log" 2>&1); then
        grep -E '^[0-9]+/[0-9]+ Test|tests passed' "$log"
        return 0
    fi
    grep -E -B3 -A12 'Failure|FAILED|Exception|Timeout|Segmentation|Sanitizer|Not Run' "$log" | head -400
    grep -E '^[0-9]+/[0-9]+ Test|tests passed' "$log"
    return 1
}

status=0
echo "== native build and unit tests"
cmake -S "$root" -B "$PAKICO_BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
    cmake --build "$PAKICO_BUILD/native" -j "$jobs" || exit 1
run_ctest native "$PAKICO_BUILD/native" -j "$jobs" || status=1

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
run_ctest wine "$PAKICO_BUILD/win" || status=1

# Each test program's GoogleTest counts, then one line for all of them.
count_tests() {
    awk '
        /^ *Start +[0-9]+: / { id = $2; sub(":", "", id); name[id] = $3 }
        /^[0-9]+: \[  PASSED  \] [0-9]+ test/ { id = $1; sub(":", "", id); p[id] += $5 }
        /^[0-9]+: \[  FAILED  \] [0-9]+ tests?, listed/ { id = $1; sub(":", "", id); f[id] += $5 }
        END { for (id in name) printf "%s %d %d\n", name[id], p[id], f[id] }' "$1"
}
passed=0
failed=0
while read -r name p f; do
    if [ "$p" -eq 0 ] && [ "$f" -eq 0 ]; then
        printf '  %-7s (not a GoogleTest program: see its ctest line above)\n' "$name"
        continue
    fi
    printf '  %-7s %4d passed, %d failed\n' "$name" "$p" "$f"
    passed=$((passed + p))
    failed=$((failed + f))
done < <(for layer in native wine; do count_tests "$PAKICO_BUILD/$layer-tests.log"; done)
# The failed checks again, close to the summary, so a short excerpt of the output shows them.
for layer in native wine; do
    grep -E -A6 '^([0-9]+: )?[^ ]+:[0-9]+: Failure' "$PAKICO_BUILD/$layer-tests.log" | head -60
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit $status
