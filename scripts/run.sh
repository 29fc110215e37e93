#!/usr/bin/env bash
# Sets up the machine, builds Pakico.exe and starts it under Wine from build/run,
# with the stand-in companion and archiver libraries beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export PAKICO_BUILD="$root/build"

"$root/scripts/setup.sh"
"$root/scripts/build-win.sh" run-layout

source "$root/scripts/wine-env.sh"
trap pakico_cleanup EXIT
# Ctrl+C or a kill ends the program too: the wait below is interrupted, the EXIT trap cleans up.
trap 'exit 130' INT TERM
if ! pakico_display_works; then
    pakico_start_display
    echo "run: no display; Pakico runs on the virtual display $DISPLAY (Ctrl+C ends it)"
fi
pakico_start_prefix
cd "$PAKICO_BUILD/run"
wine Pakico.exe "$@" &
wait $!
