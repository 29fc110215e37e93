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

# Three lanes side by side, unless told otherwise: the tests under Wine mostly wait for windows,
# so each lane keeps a core busy only part of the time. Their Wine prefixes, and the one of the
# run on the release zip, are made while the programs build.
lanes=${PAKICO_WINE_LANES:-3}
mkdir -p "$PAKICO_BUILD"
{
    "$root/scripts/wine-tests.sh" --prefixes "$lanes" &
    PAKICO_LANE_NAME=packaged "$root/scripts/wine-tests.sh" --prefixes 1 &
    PAKICO_LANE_NAME=monitors "$root/scripts/wine-tests.sh" --prefixes 1 &
    wait
} >"$PAKICO_BUILD/wine-prefixes.log" 2>&1 &
prefixes=$!

status=0
# Includes run only downward through the floors of src/LAYERS.
python3 "$root/scripts/layers.py" || status=1

echo "== native build and unit tests"
cmake -S "$root" -B "$PAKICO_BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
    cmake --build "$PAKICO_BUILD/native" -j "$jobs" || exit 1
run_ctest native "$PAKICO_BUILD/native" -j "$jobs" || status=1

echo "== Windows build"
"$root/scripts/build-win.sh" || exit 1

echo "== Win32 and end-to-end tests under Wine, $lanes lanes; the release zip, and two monitors"
wait "$prefixes"
wine_summary="$PAKICO_BUILD/wine-tests.summary"
# Beside the lanes, each on a display and in a prefix of its own: the release zip as a user gets
# it, unpacked beside the stand-ins (its readme against its program's texts, one drop, the About
# box and the help file of that program, and an afternoon of its use, the longest case), and the
# windows on a desktop of two monitors.
PAKICO_LANE_NAME=monitors PAKICO_TWO_MONITORS=1 "$root/scripts/wine-tests.sh" 1 \
    'wintest/pakico_win_tests.exe:TwoMonitors.*' 'e2e/pakico_e2e_tests.exe:TwoMonitors.*' \
    >"$PAKICO_BUILD/wine-monitors.summary" &
monitors=$!
packaged="$PAKICO_BUILD/win/packaged"
packaged_cases=LeftDrop.OneArchiveIsExtractedAndWithShiftCompressed
packaged_cases+=:TrayMenu.TheAboutBoxRestsTheCatAndSilencesTheIcon
packaged_cases+=:SettingsDialogTest.HelpOpensTheHelpFileOrSaysWhereTheReadmeIs
packaged_cases+=:LongRun.*
{
    rm -rf "$packaged" && python3 -m zipfile -e "$PAKICO_BUILD/win/dist/Pakico-1.10.zip" "$packaged" &&
        PAKICO_PROGRAM_FOLDER="Z:${packaged//\//\\}" PAKICO_LANE_NAME=packaged \
            "$root/scripts/wine-tests.sh" 1 'wintest/pakico_win_tests.exe:Readme.*' \
            "e2e/pakico_e2e_tests.exe:$packaged_cases"
} >"$PAKICO_BUILD/wine-packaged.summary" &
packaged_run=$!
# The soak of weeks of use has a command of its own, scripts/soak.sh; the cases of two monitors
# and the afternoon of use run beside.
"$root/scripts/wine-tests.sh" "$lanes" 'wintest/pakico_win_tests.exe:-TwoMonitors.*' \
    'e2e/pakico_e2e_tests.exe:-Soak.*:TwoMonitors.*:LongRun.*' | tee "$wine_summary" || status=1
wait "$packaged_run" || status=1
wait "$monitors" || status=1
echo "== the release zip, and two monitors, under Wine"
cat "$PAKICO_BUILD/wine-packaged.summary" "$PAKICO_BUILD/wine-monitors.summary" |
    tee -a "$wine_summary"

# Each test program's GoogleTest counts, then one line for all of them.
count_native() {
    awk '
        /^ *Start +[0-9]+: / { id = $2; sub(":", "", id); name[id] = $3 }
        /^[0-9]+: \[  PASSED  \] [0-9]+ test/ { id = $1; sub(":", "", id); p[id] += $5 }
        /^[0-9]+: \[  FAILED  \] [0-9]+ tests?, listed/ { id = $1; sub(":", "", id); f[id] += $5 }
        END { for (id in name) if (p[id] + f[id] > 0) printf "%s %d %d\n", name[id], p[id], f[id] }' "$1"
}
passed=0
failed=0
while read -r name p f; do
    printf '  %-36s %4d passed, %d failed\n' "$name" "$p" "$f"
    passed=$((passed + p))
    failed=$((failed + f))
done < <(count_native "$PAKICO_BUILD/native-tests.log")
while read -r p f; do
    passed=$((passed + p))
    failed=$((failed + f))
done < <(awk '/^  [^ ]+ +[0-9]+ passed, [0-9]+ failed$/ { print $2, $4 }' "$wine_summary")
# The native build's failed checks again, close to the summary.
grep -E -A6 '^([0-9]+: )?[^ ]+:[0-9]+: Failure' "$PAKICO_BUILD/native-tests.log" | head -60
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit $status
