# Sourced by the run and test scripts: a Wine prefix inside the build tree, the Japanese
# locale, and an X display (a private Xvfb when there is none). With PAKICO_TWO_MONITORS set,
# the display is a private Xephyr on that Xvfb that shows two monitors side by side: a 1024 x 768
# primary one and an 800 x 600 one to its right. RandR is off there, so Wine reads the two heads
# from Xinerama; it does so when its wineserver starts, so that a prefix must be started on that
# display. Cleans up only what it started.

: "${PAKICO_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
export WINEPREFIX="${WINEPREFIX:-$PAKICO_BUILD/wineprefix}"
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# No menu builder: it would write launchers and icons into the host's desktop menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
# The recycle bin of the prefix is the trash below XDG_DATA_HOME: keep it in the build tree,
# one for each prefix.
export XDG_DATA_HOME="${PAKICO_XDG_DATA:-$PAKICO_BUILD/xdg-data}"

pakico_started_xvfb=""
pakico_started_xephyr=""

pakico_display_works() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# Starts an X server (its command and arguments follow the variable to keep its process id in)
# on the first free display number, which it writes itself once it listens, so that several
# lanes of tests can each start one at the same time; DISPLAY then names it.
pakico_start_server() {
    local pid_variable=$1 number_file
    shift
    number_file=$(mktemp)
    "$@" -displayfd 3 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
    printf -v "$pid_variable" '%s' "$!"
    for _ in $(seq 1 100); do
        if grep -q '^[0-9]' "$number_file"; then
            export DISPLAY=":$(head -n 1 "$number_file")"
            rm -f "$number_file"
            xdpyinfo >/dev/null 2>&1 && return 0
            break
        fi
        sleep 0.1
    done
    rm -f "$number_file"
    echo "wine-env: $1 did not start" >&2
    return 1
}

pakico_start_display() {
    # A private Xvfb unless there is a display; on it, Xephyr's two monitors when asked.
    pakico_display_works ||
        pakico_start_server pakico_started_xvfb Xvfb -screen 0 1024x768x24 || return 1
    [ -z "${PAKICO_TWO_MONITORS:-}" ] && return 0
    pakico_start_server pakico_started_xephyr Xephyr -screen 1024x768 -screen 800x600 \
        +xinerama -extension RANDR
}

pakico_start_prefix() {
    if [ ! -f "$WINEPREFIX/.pakico-ready" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        # A crashing program ends at once instead of waiting on a dialog nobody sees.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        # Unmanaged windows: without a window manager on the virtual display Wine otherwise
        # waits about two seconds each time a captioned window is hidden.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.pakico-ready"
    fi
    pakico_unlink_host_folders
}

# A fresh prefix links the user's Desktop, Documents and the like to the host's home folder;
# tests that create, rename and delete folders must never reach it. Each link becomes a real
# folder inside the prefix (also in a prefix made before this rule).
pakico_unlink_host_folders() {
    mkdir -p "$XDG_DATA_HOME"
    local user_dir
    for user_dir in "$WINEPREFIX"/drive_c/users/*; do
        [ -d "$user_dir" ] || continue
        local entry
        for entry in "$user_dir"/* "$user_dir"/AppData/Roaming/Microsoft/Windows/Templates; do
            if [ -L "$entry" ]; then
                rm -f "$entry"
                mkdir -p "$entry"
            fi
        done
    done
}

pakico_cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    local pid
    for pid in "$pakico_started_xephyr" "$pakico_started_xvfb"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    pakico_started_xephyr=""
    pakico_started_xvfb=""
}
