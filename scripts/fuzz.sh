#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (AddressSanitizer, UBSan) and runs each for
# SECONDS seconds (default 60), one after the other.
#   ./scripts/fuzz.sh [SECONDS]
# Each target starts from its seeds in fuzz/corpus/<target> and grows its working corpus in
# build/fuzz/corpus/<target>, kept between runs; the seeds themselves are never rewritten.
# An input that makes a target fail is written to build/fuzz/findings/<target>/: once the
# fault is mended, add the input to the seeds. Exits non-zero when a target finds anything.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build/fuzz"

"$root/scripts/setup.sh" || exit 1

cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$build" -j 2 >/dev/null || exit 1
if ! grep -q '^PAKICO_HAVE_LIBFUZZER:INTERNAL=1' "$build/CMakeCache.txt"; then
    echo "fuzz: clang cannot link with -fsanitize=fuzzer" >&2
    exit 1
fi

status=0
for target in $(sed -n 's/^pakico_fuzz_target(\([A-Za-z0-9_]*\).*/\1/p' "$root/fuzz/CMakeLists.txt"); do
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/$target.log"
    mkdir -p "$corpus" "$findings"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    "$build/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1
    rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log")
    if [ $rc -eq 0 ]; then
        printf '%-18s %10s inputs in %ss: nothing found\n' "$target" "${runs:-?}" "${time:-?}"
        grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | sed 's/^/    /'
    else
        printf '%-18s %10s inputs: FOUND (exit %d), see %s\n' "$target" "${runs:-?}" $rc "$log"
        grep -E '^SUMMARY|Test unit written' "$log" | sed 's/^/    /'
        status=1
    fi
done
exit $status
