#!/usr/bin/env bash
# Time from starting Tapwise.exe under Wine to its main window being shown, Wine's own start
# included (each run starts in a fresh prefix with no Wine process running). Prints every run
# and the median.
# usage: bench/startup_timing.sh BUILD_DIR [runs]
set -u
build=$(cd "$1" && pwd)
runs=${2:-7}
. "$(dirname "$0")/../tests/e2e/tapwise-e2e.sh"
e2e_init e2e-startup-timing "$build/Tapwise.exe" "$build"
template=$WINEPREFIX
times=()
for run in $(seq 1 "$runs"); do
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
    rm -rf "$WORK/prefix" && cp -a "$template" "$WORK/prefix"
    export WINEPREFIX="$WORK/prefix"
    start=$(date +%s%N)
    wine "$EXE" >/dev/null 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 1 2000); do
        window=$(xdotool search --onlyvisible --class 'tapwise\.exe' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.01
    done
    shown=$(date +%s%N)
    [ -n "$window" ] || { echo "run $run: no window" >&2; exit 1; }
    ms=$(((shown - start) / 1000000))
    times+=("$ms")
    echo "run $run: ${ms} ms"
    "$BUILD/e2e-tools/wm_close" "$window" >/dev/null
    wait "$pid" 2>/dev/null
done
export WINEPREFIX=$template
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "median: ${median} ms over $runs runs"
