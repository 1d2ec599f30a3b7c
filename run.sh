#!/usr/bin/env bash
# Builds Tapwise.exe and starts it (under Wine on Linux).
set -eu
cd "$(dirname "$0")"
tools/ensure-packages.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target Tapwise
if [ -z "${DISPLAY:-}" ]; then
    echo "Tapwise is a Windows desktop program and needs a display to show its window." >&2
    echo "No DISPLAY is set: run ./run.sh from a graphical session (or set DISPLAY)." >&2
    echo "The program was built at build/windows/Tapwise.exe." >&2
    exit 1
fi
export WINEDEBUG=${WINEDEBUG:--all}
exec wine build/windows/Tapwise.exe
