#!/usr/bin/env bash
# Whole program under Wine: with the diagnostic log switched on, Tapwise.exe starts, its window
# takes typed keys (a letter, an arrow key, Print Screen), closes when asked the way a window
# manager asks, exits with 1069, and its diagnostic log holds the decoded keys.
# usage: e2e_foundation.sh PATH/Tapwise.exe BUILD_DIR
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
. "$src/tests/win/wine-env.sh"

work="$build/e2e-foundation"
rm -rf "$work"
mkdir -p "$work"
trap wine_cleanup EXIT

fail() {
    echo "e2e_foundation: FAIL: $*" >&2
    [ -f "$work/diagnostic.log" ] && { echo "--- diagnostic log:" >&2; cat "$work/diagnostic.log" >&2; }
    exit 1
}

cc -O2 -o "$work/wm_close" "$src/tools/wm_close.c" -lX11 || fail "cannot build tools/wm_close.c"
wine_start_display || fail "Xvfb did not start"
wine_prefix_template "$build/wine-template"
wine_fresh_prefix "$build/wine-template"

wine reg add 'HKCU\Software\Quillmark' /v ErrorLog /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
    fail "cannot switch the diagnostic log on"

# cmd waits for the program in a batch file, and %ERRORLEVEL% holds the whole exit code
# (the shell would see it modulo 256).
winexe="Z:${exe//\//\\}"
printf '@echo off\r\n"%s"\r\necho EXITCODE=%%ERRORLEVEL%%\r\n' "$winexe" >"$work/run.bat"
wine cmd /c "Z:${work//\//\\}\\run.bat" >"$work/cmd.out" 2>"$work/cmd.err" &
cmd_pid=$!

window=""
for _ in $(seq 1 60); do
    window=$(xdotool search --onlyvisible --class 'tapwise\.exe' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || fail "no visible Tapwise window within 30 s"

xdotool windowfocus --sync "$window" || fail "cannot focus the window"
sleep 0.5
for key in a Up Print; do
    xdotool key --delay 80 "$key"
    sleep 0.3
done
sleep 0.5
import -window root "$build/e2e_foundation.png" || echo "e2e_foundation: no screenshot" >&2

"$work/wm_close" "$window" || fail "cannot send WM_DELETE_WINDOW"
for _ in $(seq 1 60); do
    kill -0 "$cmd_pid" 2>/dev/null || break
    sleep 0.5
done
kill -0 "$cmd_pid" 2>/dev/null && fail "Tapwise did not exit within 30 s of the close request"
wait "$cmd_pid"

log=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/Quillmark/Tollgate/Tollgate-*.log' |
    head -n 1)
[ -n "$log" ] || fail "no diagnostic log file in Quillmark\\Tollgate"
[[ $(basename "$log") =~ ^Tollgate-[0-9]{8}-[0-9]{6}\.log$ ]] || fail "log file name $(basename "$log")"
tr -d '\r' <"$log" >"$work/diagnostic.log"
grep -q $'\r$' "$log" || fail "the log's lines do not end in CR LF"

exit_code=$(tr -d '\r' <"$work/cmd.out" | sed -n 's/^EXITCODE=//p')
[ "$exit_code" = "1069" ] || fail "exit code '$exit_code', expected 1069"

expect_line() {
    grep -qxF -- "$1" "$work/diagnostic.log" || fail "missing log line: $1"
}
expect_line "Enabling raw input..."
expect_line "OnInput():  Scan code 0x1e, Down, Virtual key 0x41."
expect_line "OnInput():  Scan code 0x1e, Up, Virtual key 0x41."
expect_line "OnInput():  Scan code 0x48, Down, Virtual key 0x26, extended (E0)."
expect_line "OnInput():  Scan code 0x48, Up, Virtual key 0x26, extended (E0)."
expect_line "OnInput():  Scan code 0x37, Down, Virtual key 0x2c, extended (E0)."
grep -qE '^Perf counter frequency:  [0-9]+/sec\.$' "$work/diagnostic.log" ||
    fail "no performance-counter line"
expect_line "CMainDlg::OnReflowLayout"
expect_line "Reflowing keyboard dialog layout..."

echo "e2e_foundation: ok (exit code 1069, screenshot $build/e2e_foundation.png)"
