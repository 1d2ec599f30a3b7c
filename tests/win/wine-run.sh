#!/usr/bin/env bash
# Runs a Windows program under Wine inside a private Xvfb and returns its exit code.
# usage: wine-run.sh PROGRAM.exe [arguments...]
# WINE_DPI runs it at that screen scale (LogPixels), WINE_SCREEN on a screen of that size.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
program=$1
shift
build_dir=$(cd "$(dirname "$program")" && pwd)

trap wine_cleanup EXIT
wine_start_display || exit 1
wine_prefix_template "$build_dir/wine-template"
wine_fresh_prefix "$build_dir/wine-template"
if [ -n "${WINE_DPI:-}" ]; then
    wine_set_dpi "$WINE_DPI" || { echo "wine-run: cannot set $WINE_DPI DPI" >&2; exit 1; }
fi
wine "$program" "$@"
status=$?
exit $status
