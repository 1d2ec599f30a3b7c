#!/bin/sh
# The HTML report in a real browser: tapwise-cli writes a report of a trace that leaves keys in
# every state, headless Chromium renders it, and the picture must hold each state's colour over
# at least the area of a key (the legend's swatches alone are far smaller).
# usage: report_browser_test.sh TAPWISE_CLI [SCREENSHOT]
set -u
cli=${1:?usage: report_browser_test.sh TAPWISE_CLI [SCREENSHOT]}
work=$(mktemp -d "${TMPDIR:-/tmp}/tapwise-report-browser.XXXXXX")
shot=${2:-$work/report.png}
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/../support/browser_shot.sh"

# S and D good, A faulty (chatter), F still held at the end; every other key untested.
cat > "$work/keys.trace" <<'TRACE'
1000 0x1E 0 0x41
1080 0x1E 1 0x41
1085 0x1E 0 0x41
1150 0x1E 1 0x41
1300 0x1F 0 0x53
1390 0x1F 1 0x53
1500 0x20 0 0x44
1580 0x20 1 0x44
1700 0x21 0 0x46
TRACE
"$cli" replay --report "$work/report.html" --default "$work/keys.trace" > /dev/null ||
    { echo "FAIL: tapwise-cli could not write the report"; exit 1; }

screenshot "$work/report.html" "$shot" 1000,700

failures=0
# The default state colours: untested A0A0A0, held A0A0FF, good A0FFA0, faulty FFA0A0.
for colour in A0A0A0:untested A0A0FF:held A0FFA0:good FFA0A0:faulty; do
    hex=${colour%%:*}
    pixels=$(printf '%s\n' "$histogram" | grep -i "#${hex}\b" | awk '{s += $1} END {print s + 0}')
    # One key face of 34 x 34 pixels less its label is about 1000 pixels.
    if [ "$pixels" -lt 600 ]; then
        echo "FAIL: $pixels pixels of the ${colour#*:} colour #$hex"
        failures=$((failures + 1))
    fi
done
# Two good keys show twice the good colour of one faulty key.
good=$(printf '%s\n' "$histogram" | grep -i '#A0FFA0\b' | awk '{s += $1} END {print s + 0}')
faulty=$(printf '%s\n' "$histogram" | grep -i '#FFA0A0\b' | awk '{s += $1} END {print s + 0}')
[ "$good" -gt "$faulty" ] || { echo "FAIL: good $good pixels, faulty $faulty"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "report in the browser: all state colours drawn"
exit "$failures"
