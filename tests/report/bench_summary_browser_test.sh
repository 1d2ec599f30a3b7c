#!/bin/sh
# The bench summary page in a real browser: a day of 40 units on the ISO layout, of which a
# few failed on the same keys. Headless Chromium renders the page; the picture must show the
# key that failed most in the darkest colour over the area of a key, the keys that never
# failed in the neutral colour, and the passed and failed tiles.
# usage: bench_summary_browser_test.sh TAPWISE_CLI SOURCE_DIR [SCREENSHOT]
set -u
cli=${1:?usage: bench_summary_browser_test.sh TAPWISE_CLI SOURCE_DIR [SCREENSHOT]}
source_dir=${2:?usage: bench_summary_browser_test.sh TAPWISE_CLI SOURCE_DIR [SCREENSHOT]}
work=$(mktemp -d "${TMPDIR:-/tmp}/tapwise-bench-browser.XXXXXX")
shot=${3:-$work/summary.png}
trap 'rm -rf "$work"' EXIT
browser=$(command -v chromium || command -v chromium-browser) || {
    echo "FAIL: chromium is not installed (tools/ensure-packages.sh test installs it)"
    exit 1
}
command -v convert > /dev/null || { echo "FAIL: ImageMagick convert is missing"; exit 1; }

# Units 1 to 40; Space faulty on 6 of them, Enter on 3, E untested on 2, \ on 1.
{
    printf '\357\273\277Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,'
    printf 'Untested keys,Chatter events,Rollover,Overflow,Duration (s),Report\r\n'
    unit=1
    while [ "$unit" -le 40 ]; do
        faulty=""
        untested=""
        case $unit in
        3 | 9 | 14 | 22 | 30 | 37) faulty="Space" ;;
        esac
        case $unit in
        9 | 17 | 25) faulty="${faulty:+$faulty; }Enter" ;;
        esac
        case $unit in
        5 | 33) untested="E" ;;
        esac
        [ "$unit" -eq 12 ] && untested="\\"
        verdict=PASS
        [ -n "$faulty$untested" ] && verdict=FAIL
        printf '2026-12-08,%02d:%02d:00,SN%04d,ISO UK,iso_uk_105.kbl,%s,105,105,%s,%s,0,6,0,45,' \
            $((8 + unit / 6)) $((unit % 6 * 10)) "$unit" "$verdict" "$faulty" "$untested"
        printf 'SN%04d_20261208-000000.html\r\n' "$unit"
        unit=$((unit + 1))
    done
} > "$work/bench.csv"
"$cli" bench-summary --html "$work/summary.html" --layouts "$source_dir/layouts" \
    "$work/bench.csv" > "$work/summary.txt" ||
    { echo "FAIL: tapwise-cli could not write the page"; exit 1; }

timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --screenshot="$shot" --window-size=1000,760 \
    "file://$work/summary.html" > "$work/browser.log" 2>&1
[ -s "$shot" ] || { echo "FAIL: no screenshot"; cat "$work/browser.log"; exit 1; }

histogram=$(convert "$shot" -format %c histogram:info:-)
pixels() { printf '%s\n' "$histogram" | grep -i "#$1\b" | awk '{s += $1} END {print s + 0}'; }
failures=0
check() { # colour what minimum
    count=$(pixels "$1")
    if [ "$count" -lt "$3" ]; then
        echo "FAIL: $count pixels of $2 (#$1), expected at least $3"
        failures=$((failures + 1))
    fi
}
# Space, the widest key, failed most: darkest. One key face is about 1000 pixels.
check A50F1E "the darkest step (Space)" 5000
check E8E8E8 "no failures (about 100 keys)" 60000
check DFF3DF "the passed tile" 5000
check FBE0E0 "the failed tile" 5000
grep -qx 'pass rate: 72.5%' "$work/summary.txt" || { printf 'FAIL: %s\n' "$(cat "$work/summary.txt")"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "bench summary in the browser: heat map and tiles drawn"
exit "$failures"
