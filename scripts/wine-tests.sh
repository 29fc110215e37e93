#!/usr/bin/env bash
# Runs test programs of the Windows build under Wine, split across lanes that run side by side:
# each lane has its own Wine prefix and its own virtual display, and runs its share of every
# program's tests (GoogleTest's sharding), so two lanes never drive the same desktop.
#
#   wine-tests.sh LANES PROGRAM[:FILTER]...
#   wine-tests.sh --prefixes LANES     only makes the lanes' Wine prefixes (no display needed),
#                                      so that a caller can have them made while it builds
#
# PROGRAM is a path below build/win/bin; FILTER a GoogleTest filter. Each lane's whole output is
# in build/wine-lane<N>.log. Prints each program's counts ("  <program> N passed, M failed") and
# the failures; exits 1 when a test failed or a program did not finish within
# PAKICO_TEST_LIMIT seconds (1200 unless set). PAKICO_LANE_NAME ("lane" unless set) names the
# lanes' prefixes, displays' logs and folders, so that two runs can go on side by side.
# PAKICO_TWO_MONITORS set gives each lane a display of two monitors (see wine-env.sh).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
: "${PAKICO_BUILD:=$root/build}"
bin="$PAKICO_BUILD/win/bin"
prefixes_only=""
if [ "${1:-}" = "--prefixes" ]; then
    prefixes_only=1
    shift
fi
lanes=$1
shift
limit=${PAKICO_TEST_LIMIT:-1200}
name=${PAKICO_LANE_NAME:-lane}

# A lane's prefix and recycle bin, and the Wine settings of the project.
enter_lane() {
    export WINEPREFIX="$PAKICO_BUILD/wineprefix-$name$1"
    export PAKICO_XDG_DATA="$PAKICO_BUILD/xdg-data-$name$1"
    unset DISPLAY
    source "$root/scripts/wine-env.sh"
}

if [ -n "$prefixes_only" ]; then
    for ((lane = 0; lane < lanes; lane++)); do
        (enter_lane "$lane" && pakico_start_prefix) &
    done
    wait
    exit 0
fi

# One lane: its prefix, display and share of each program. A program runs from a copy of its
# folder, because tests put files beside their program (stand-in libraries, screenshots).
run_lane() {
    local lane=$1
    shift
    enter_lane "$lane"
    trap pakico_cleanup EXIT
    pakico_start_display && pakico_start_prefix || return 1
    export PAKICO_WINE_READY=1 GTEST_TOTAL_SHARDS=$lanes GTEST_SHARD_INDEX=$lane
    local asked status=0
    for asked in "$@"; do
        local program=${asked%%:*} filter="*"
        [ "$asked" != "$program" ] && filter=${asked#*:}
        local folder="$bin/$(dirname "$program")"
        local copy="$folder.$name$lane"
        rm -rf "$copy" && cp -r "$folder" "$copy" || return 1
        echo "== $program (lane $lane of $lanes)"
        timeout "$limit" wine "$copy/$(basename "$program")" --gtest_filter="$filter" || status=1
    done
    return $status
}

pids=()
for ((lane = 0; lane < lanes; lane++)); do
    run_lane "$lane" "$@" >"$PAKICO_BUILD/wine-$name$lane.log" 2>&1 &
    pids+=($!)
done
status=0
for pid in "${pids[@]}"; do
    wait "$pid" || status=1
done

# The counts of each program over all lanes, then the failed checks.
logs=()
for ((lane = 0; lane < lanes; lane++)); do logs+=("$PAKICO_BUILD/wine-$name$lane.log"); done
awk '
    /^== .* \(lane / { program = $2; seen[program] = 1; next }
    /^\[  PASSED  \] [0-9]+ test/ { passed[program] += $4; finished[program]++ }
    /^\[  FAILED  \] [0-9]+ tests?, listed/ { failed[program] += $4 }
    /^\[  FAILED  \] [^ ]+\.[^ ]+/ && !/listed below/ && !/ ms\)$/ { names[program] = names[program] "    " $3 "\n" }
    END {
        for (p in seen) {
            printf "  %-36s %4d passed, %d failed\n", p, passed[p], failed[p]
            printf "%s", names[p]
        }
    }' <(cat "${logs[@]}" | tr -d '\r')
cat "${logs[@]}" | tr -d '\r' | grep -E -A8 '^[^ ]+:[0-9]+: Failure' | head -80
exit $status
