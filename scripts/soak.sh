#!/usr/bin/env bash
# Sets up and builds like the test command, then runs the soak under Wine: weeks of residence in
# about fifteen minutes (500 drops, 1,000 menu openings, over 10,000 refresh ticks), after which
# the program must hold exactly the handles, windows and GDI objects it held after the first few.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export PAKICO_BUILD="$root/build"

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build-win.sh" pakico_e2e_tests >/dev/null || exit 1

PAKICO_TEST_LIMIT=3600 exec "$root/scripts/wine-tests.sh" 1 'e2e/pakico_e2e_tests.exe:Soak.*'
