#!/bin/bash
# Times tapwise-cli settings on a generated settings file of 100,000 lines: the sixteen keys
# among filler keys, the last of them at the end of the file. Prints the elapsed time and the
# processor time (user + system); the limit of 1 s applies to the processor time, which a
# machine shared with other work does not inflate.
# usage: bench/settings_timing.sh BUILD_DIR [LINES]
set -eu
build=${1:?usage: settings_timing.sh BUILD_DIR [LINES]}
lines=${2:-100000}
cli="$build/tapwise-cli"
[ -x "$cli" ] || { echo "no $cli" >&2; exit 2; }
file=$(mktemp "${TMPDIR:-/tmp}/tapwise-settings.XXXXXX")
trap 'rm -f "$file"' EXIT

awk -v n="$lines" 'BEGIN {
    printf "[Layout]\r\nUnpressed=(10, 20, 30)\r\n";
    for (i = 0; i < n - 7; i++) printf "Filler%d=value number %d\r\n", i, i;
    printf "ChatterThreshold=12\r\nLastLayout=C:\\layouts\\board.kbl\r\n[Logging]\r\n";
    printf "LogFilePrefix=Board\r\nShowLog=0\r\n";
}' > "$file"

TIMEFORMAT='%R %U %S'
times=$({ time "$cli" settings "$file" > /dev/null; } 2>&1)
read -r real user system <<< "$times"
cpu=$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.3f", u + s }')
echo "settings of $(wc -l < "$file") lines: ${real} s elapsed, ${cpu} s processor"
awk -v s="$cpu" 'BEGIN { exit !(s < 1.0) }' || { echo "slower than 1 s" >&2; exit 1; }
