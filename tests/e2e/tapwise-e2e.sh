#!/usr/bin/env bash
# Shared steps of the end-to-end tests of Tapwise.exe under Wine; sourced by tests/e2e/e2e_*.sh.
#   e2e_init NAME EXE BUILD    work folder, helper tools, Xvfb, a fresh prefix from the template
#   e2e_settings LINES...      writes %APPDATA%\Quillmark\Tapwise.ini ("[Section]" and "Key=value")
#   e2e_diagnostics            switches the diagnostic log on
#   e2e_start                  starts the program, waits for its window (WINDOW)
#   e2e_inspect                control texts and rectangles of the visible dialogs (CONTROLS)
#   e2e_text SCOPE ID          the text of a control (scope main, keyboard or settings)
#   e2e_rect SCOPE ID          its screen rectangle "left top right bottom"; e2e_visible 0|1
#   e2e_items SCOPE ID         the items of a combo box; e2e_choose_layout INDEX picks one
#   e2e_log_lines FILE         the whole event log, one line per line, time stamps cut off
#   e2e_click SCOPE ID         clicks the middle of a control
#   e2e_type KEYS...           types keys into the window, one after another
#   e2e_shot NAME              screenshot $BUILD/NAME.png (SHOT)
#   e2e_pixel X Y              the screenshot's colour at a screen point, RRGGBB
#   e2e_key_rect CODE          the default layout's rectangle of a key "left top right bottom"
#   e2e_close                  closes the window as a window manager would; EXIT_CODE
# Every run ends with wine_cleanup, so nothing of Wine outlives the test.
set -u

e2e_src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
. "$e2e_src/tests/win/wine-env.sh"

E2E_NAME=""
EXE=""
BUILD=""
WORK=""
APPDATA_DIR=""
WINDOW=""
CMD_PID=""
CONTROLS=""
SHOT=""
EXIT_CODE=""

e2e_fail() {
    echo "$E2E_NAME: FAIL: $*" >&2
    if [ -n "$WORK" ] && [ -f "$WORK/diagnostic.log" ]; then
        echo "--- diagnostic log (last 40 lines):" >&2
        tail -n 40 "$WORK/diagnostic.log" >&2
    fi
    exit 1
}

e2e_cleanup() {
    if [ -n "$CMD_PID" ] && kill -0 "$CMD_PID" 2>/dev/null; then
        kill "$CMD_PID" 2>/dev/null || true
    fi
    wine_cleanup
}

# Builds a helper when it is missing or older than its source: e2e_tool OUT SOURCE LIBS CC...
e2e_tool() {
    local out=$1 source=$2 libs=$3
    shift 3
    if [ ! -x "$out" ] || [ "$source" -nt "$out" ]; then
        # shellcheck disable=SC2086
        "$@" -o "$out.tmp" "$source" $libs && mv "$out.tmp" "$out"
    fi
}

e2e_init() {
    E2E_NAME=$1
    EXE=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
    BUILD=$(cd "$3" && pwd)
    WORK="$BUILD/$E2E_NAME"
    rm -rf "$WORK"
    mkdir -p "$WORK" "$BUILD/e2e-tools"
    trap e2e_cleanup EXIT
    e2e_tool "$BUILD/e2e-tools/wm_close" "$e2e_src/tools/wm_close.c" -lX11 cc -O2 ||
        e2e_fail "cannot build tools/wm_close.c"
    e2e_tool "$BUILD/e2e-tools/win_query.exe" "$e2e_src/tools/win_query.c" "" \
        x86_64-w64-mingw32-gcc -O2 || e2e_fail "cannot build tools/win_query.c"
    wine_start_display || e2e_fail "Xvfb did not start"
    wine_prefix_template "$BUILD/wine-template"
    wine_fresh_prefix "$BUILD/wine-template"
    APPDATA_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
    [ -d "$APPDATA_DIR" ] || e2e_fail "no application-data folder in the prefix"
}

e2e_settings() {
    mkdir -p "$APPDATA_DIR/Quillmark"
    printf '%s\r\n' "$@" >"$APPDATA_DIR/Quillmark/Tapwise.ini"
}

e2e_diagnostics() {
    wine reg add 'HKCU\Software\Quillmark' /v ErrorLog /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
        e2e_fail "cannot switch the diagnostic log on"
}

# The diagnostic log as plain LF text in $WORK/diagnostic.log.
e2e_read_diagnostics() {
    local log
    log=$(find "$APPDATA_DIR/Quillmark/Tollgate" -name 'Tollgate-*.log' 2>/dev/null | head -n 1)
    [ -n "$log" ] || return 1
    tr -d '\r' <"$log" >"$WORK/diagnostic.log"
}

e2e_start() {
    # cmd waits for the program in a batch file, and %ERRORLEVEL% holds the whole exit code
    # (the shell would see it modulo 256).
    local winexe="Z:${EXE//\//\\}"
    printf '@echo off\r\n"%s"\r\necho EXITCODE=%%ERRORLEVEL%%\r\n' "$winexe" >"$WORK/run.bat"
    wine cmd /c "Z:${WORK//\//\\}\\run.bat" >"$WORK/cmd.out" 2>"$WORK/cmd.err" &
    CMD_PID=$!
    WINDOW=""
    # Normally well under a second; a busy machine can hold Wine's first start up for long.
    for _ in $(seq 1 300); do
        WINDOW=$(xdotool search --onlyvisible --class 'tapwise\.exe' 2>/dev/null | head -n 1)
        [ -n "$WINDOW" ] && break
        sleep 0.2
    done
    [ -n "$WINDOW" ] || e2e_fail "no visible Tapwise window within 60 s: $(cat "$WORK/cmd.err")"
    sleep 0.3
    xdotool windowfocus --sync "$WINDOW" || e2e_fail "cannot focus the window"
    sleep 0.3
}

e2e_inspect() {
    CONTROLS="$WORK/controls.txt"
    wine "$BUILD/e2e-tools/win_query.exe" 2>/dev/null | tr -d '\r' >"$CONTROLS" ||
        e2e_fail "cannot list the window's controls"
}

# Controls are named by scope and id: main (the main window's own controls), keyboard (the
# page holding the keyboard view 1022) or settings (the page holding the version label 1037).
e2e_scope() {
    case $1 in
    main) awk '$2 == "0" { print $1; exit }' "$CONTROLS" ;;
    keyboard) awk '$3 == 1022 { print $2; exit }' "$CONTROLS" ;;
    settings) awk '$3 == 1037 { print $2; exit }' "$CONTROLS" ;;
    esac
}

e2e_field() {
    local scope
    scope=$(e2e_scope "$1")
    awk -v parent="$scope" -v id="$2" -v field="$3" '$2 == parent && $3 == id {
        if (field == "text") { line = $0; sub(/^[^"]*"/, "", line); sub(/"$/, "", line); print line }
        else if (field == "rect") { print $5, $6, $7, $8 }
        else { print $4 }
        exit }' "$CONTROLS"
}

e2e_text() { e2e_field "$1" "$2" text; }
e2e_rect() { e2e_field "$1" "$2" rect; }
e2e_visible() { e2e_field "$1" "$2" visible; }

# The list items of a combo box, one per line.
e2e_items() {
    local scope hwnd
    scope=$(e2e_scope "$1")
    hwnd=$(awk -v parent="$scope" -v id="$2" '$2 == parent && $3 == id { print $1; exit }' \
        "$CONTROLS")
    awk -v hwnd="$hwnd" '$1 == hwnd && $2 == "item" {
        line = $0; sub(/^[^"]*"/, "", line); sub(/"$/, "", line); print line }' "$CONTROLS"
}

# Picks item INDEX of the visible layout list as a click into its drop-down list would.
e2e_choose_layout() {
    wine "$BUILD/e2e-tools/win_query.exe" choose 1021 "$1" >/dev/null 2>&1 ||
        e2e_fail "cannot choose layout list item $1"
    sleep 0.8
}

# The whole text of the event log view (the listing cuts long texts), CR LF ends made LF and
# the "mm:ss.0mmm " stamps removed.
e2e_log_lines() {
    wine "$BUILD/e2e-tools/win_query.exe" text 1005 2>/dev/null | tr -d '\r' |
        sed -E 's/^[0-9]{2}:[0-9]{2}\.[0-9]{4} //' >"$1" || e2e_fail "cannot read the event log"
    # The text ends without a line break.
    [ -s "$1" ] && echo >>"$1"
    return 0
}

e2e_click() {
    local rect
    rect=$(e2e_rect "$1" "$2")
    [ -n "$rect" ] || e2e_fail "no control $1 $2 to click"
    set -- $rect
    xdotool mousemove $((($1 + $3) / 2)) $((($2 + $4) / 2)) click 1
    sleep 0.3
}

e2e_type() {
    local key
    for key in "$@"; do
        xdotool key --delay 60 "$key"
        sleep 0.15
    done
}

e2e_shot() {
    SHOT="$BUILD/$1.png"
    import -window root "$SHOT" || e2e_fail "no screenshot"
}

e2e_pixel() {
    convert "$SHOT" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6 | tr "A-F" "a-f"
}

e2e_key_rect() {
    local code=$1
    if [ ! -f "$WORK/default-layout.txt" ]; then
        wine "$BUILD/tapwise-cli.exe" layout --default 2>/dev/null | tr -d '\r' \
            >"$WORK/default-layout.txt" || e2e_fail "tapwise-cli cannot print the default layout"
    fi
    awk -v code="$code" '$1 == "key:" && $2 == code { print $3, $4, $5, $6; exit }' \
        "$WORK/default-layout.txt"
}

# A point inside a key's face, clear of its outline and its label: near the bottom left.
e2e_key_point() {
    local view key
    view=$(e2e_rect keyboard 1022)
    key=$(e2e_key_rect "$1")
    [ -n "$view" ] && [ -n "$key" ] || e2e_fail "no keyboard view or no key $1"
    set -- $view $key
    echo $(($1 + $5 + 5)) $(($2 + $8 - 5))
}

e2e_close() {
    "$BUILD/e2e-tools/wm_close" "$WINDOW" || e2e_fail "cannot send WM_DELETE_WINDOW"
    for _ in $(seq 1 100); do
        kill -0 "$CMD_PID" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$CMD_PID" 2>/dev/null && e2e_fail "Tapwise did not exit within 20 s of the close request"
    wait "$CMD_PID"
    CMD_PID=""
    EXIT_CODE=$(tr -d '\r' <"$WORK/cmd.out" | sed -n 's/^EXITCODE=//p')
}
