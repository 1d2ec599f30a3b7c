#!/bin/sh
# Times tapwise-cli replay of a generated 1,000,000-record trace written to /dev/null.
# usage: bench/replay_timing.sh BUILD_DIR [RECORDS]
set -eu
build=${1:?usage: replay_timing.sh BUILD_DIR [RECORDS]}
records=${2:-1000000}
cli="$build/tapwise-cli"
[ -x "$cli" ] || { echo "no $cli" >&2; exit 2; }
trace=$(mktemp "${TMPDIR:-/tmp}/tapwise-trace.XXXXXX")
trap 'rm -f "$trace"' EXIT

# Typing over the default layout's letters, every record a make or a break, with a chatter
# re-press now and then and an E0 key with its fake shift.
awk -v n="$records" 'BEGIN {
    split("0x1E 0x1F 0x20 0x21 0x22 0x23 0x24 0x25 0x26 0x10 0x11 0x12 0x13 0x14 0x39", make, " ");
    split("0x41 0x53 0x44 0x46 0x47 0x48 0x4A 0x4B 0x4C 0x51 0x57 0x45 0x52 0x54 0x20", vkey, " ");
    t = 0; i = 0; k = 1;
    while (i < n) {
        t += 40; printf "%d %s 0 %s\n", t, make[k], vkey[k]; i++;
        if (i >= n) break;
        t += (i % 97 == 0) ? 5 : 60; printf "%d %s 1 %s\n", t, make[k], vkey[k]; i++;
        k = k % 15 + 1;
    }
}' > "$trace"

start=$(date +%s.%N)
"$cli" replay --default "$trace" > /dev/null
end=$(date +%s.%N)
seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')
echo "replay of $records records: ${seconds} s"
awk -v s="$seconds" 'BEGIN { exit !(s < 3.0) }' || { echo "slower than 3 s" >&2; exit 1; }
