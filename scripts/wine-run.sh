#!/usr/bin/env bash
# Runs one Windows program under Wine with the project's prefix, locale and display.
# CTest uses it as the emulator of the cross build.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
if [ -z "${PAKICO_WINE_READY:-}" ]; then
    trap pakico_cleanup EXIT
    pakico_start_display
    pakico_start_prefix
fi
wine "$@"
