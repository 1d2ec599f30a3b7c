#!/usr/bin/env bash
# Shared set-up for running Windows programs under Wine inside Xvfb; sourced by
# wine-run.sh and the end-to-end scripts.
#   wine_start_display          start a private Xvfb and export DISPLAY
#   wine_prefix_template DIR    make (once) a booted prefix at DIR
#   wine_fresh_prefix TEMPLATE  copy the template into a new temporary prefix, export WINEPREFIX
#   wine_set_dpi DPI            the prefix's screen scale (LogPixels), from the next start on
#   wine_cleanup                stop wineserver, Xvfb and remove the temporary prefix
# WINE_SCREEN (default 1280x1024x24) sets the size of the Xvfb screen.

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE_XVFB_PID=""
WINE_TEMP_PREFIX=""

wine_start_display() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${WINE_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    local number
    read -r -t 20 number <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "wine-env: Xvfb did not start" >&2
        return 1
    fi
    export DISPLAY=":$number"
}

wine_prefix_template() {
    local dir=$1
    if [ ! -f "$dir/.booted" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        WINEPREFIX="$dir" wineboot -i >/dev/null 2>&1
        WINEPREFIX="$dir" wineserver -w
        touch "$dir/.booted"
    fi
}

wine_fresh_prefix() {
    local template=$1
    WINE_TEMP_PREFIX=$(mktemp -d /tmp/tapwise-wine.XXXXXX)
    cp -a "$template/." "$WINE_TEMP_PREFIX/"
    export WINEPREFIX="$WINE_TEMP_PREFIX"
}

wine_set_dpi() {
    local dpi=$1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 &&
        wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
            /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || return 1
    # Wine reads the setting when it starts.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

wine_cleanup() {
    if [ -n "${WINEPREFIX:-}" ]; then
        wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -n "$WINE_XVFB_PID" ]; then
        kill "$WINE_XVFB_PID" >/dev/null 2>&1 || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
        WINE_XVFB_PID=""
    fi
    if [ -n "$WINE_TEMP_PREFIX" ]; then
        rm -rf "$WINE_TEMP_PREFIX"
        WINE_TEMP_PREFIX=""
    fi
}
