#!/usr/bin/env bash
# Shared set-up for running Windows programs under Wine inside Xvfb; sourced by
# wine-run.sh and the end-to-end scripts.
#   wine_start_display          start a private Xvfb and export DISPLAY
#   wine_prefix_template DIR    make (once) a booted prefix at DIR
#   wine_fresh_prefix TEMPLATE  copy the template into a new temporary prefix, export WINEPREFIX
#   wine_cleanup                stop wineserver, Xvfb and remove the temporary prefix

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE_XVFB_PID=""
WINE_TEMP_PREFIX=""

wine_start_display() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
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
