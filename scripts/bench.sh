#!/usr/bin/env bash
# Sets up the machine, builds the program and its benchmarks, and runs them under Wine. Each
# measure prints one line: its ratio against the bare work on the same machine in the same run,
# with its goal; the last line counts the measures and those over their goal.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export PAKICO_BUILD="$root/build"

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build-win.sh" benchmarks >/dev/null || exit 1

source "$root/scripts/wine-env.sh"
trap pakico_cleanup EXIT
pakico_start_display || exit 1
pakico_start_prefix

# P2's folder of 100,000 files, made once from here: made one by one under Wine it would take
# longer than all the measures together.
import_dir="$PAKICO_BUILD/bench-import"
if [ "$(find "$import_dir" -maxdepth 1 -type f 2>/dev/null | wc -l)" -ne 100000 ]; then
    rm -rf "$import_dir" && mkdir -p "$import_dir"
    (cd "$import_dir" && seq 0 99999 | sed 's/.*/取込-&.lzh/' | xargs touch)
fi
PAKICO_BENCH_IMPORT_DIR="$(winepath -w "$import_dir" 2>/dev/null)\\"
export PAKICO_BENCH_IMPORT_DIR

log="$PAKICO_BUILD/bench.log"
: >"$log"
for program in pakico_CoreBench pakico_ResidentBench; do
    wine "$PAKICO_BUILD/win/bin/bench/$program.exe" 2>>"$log" | tr -d '\r' | tee -a "$log" |
        grep -E '^(P[0-9]+ |  P[0-9]+ reference)'
done
awk '/^P[0-9]+ / {
        n++
        ratio = $3; sub(/x$/, "", ratio)
        goal = $0; sub(/.*goal <= /, "", goal); sub(/x.*/, "", goal)
        if (ratio + 0 > goal + 0) over++
     }
     END { printf "%d measures, %d over goal\n", n, over }' "$log"
