#!/bin/sh
# The timing chart in a real browser: a report with about 4,000 hand-made times is rendered by
# headless Chromium, and the picture must show both series' bars, the shaded chatter band and
# the threshold line in their colours.
# usage: chart_browser_test.sh REPORT_CHART_PAGE [SCREENSHOT]
set -u
writer=${1:?usage: chart_browser_test.sh REPORT_CHART_PAGE [SCREENSHOT]}
work=$(mktemp -d "${TMPDIR:-/tmp}/tapwise-chart-browser.XXXXXX")
shot=${2:-$work/report.png}
trap 'rm -rf "$work"' EXIT
browser=$(command -v chromium || command -v chromium-browser) || {
    echo "FAIL: chromium is not installed (tools/ensure-packages.sh test installs it)"
    exit 1
}
command -v convert > /dev/null || { echo "FAIL: ImageMagick convert is missing"; exit 1; }

"$writer" "$work/report.html" || { echo "FAIL: the report could not be written"; exit 1; }

# The chart follows the 104-key table, so the window is tall enough for the whole page.
timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --screenshot="$shot" --window-size=1100,3600 \
    "file://$work/report.html" > "$work/browser.log" 2>&1
[ -s "$shot" ] || { echo "FAIL: no screenshot"; cat "$work/browser.log"; exit 1; }

histogram=$(convert "$shot" -format %c histogram:info:-)
pixels() {
    printf '%s\n' "$histogram" | grep -i "#$1\b" | awk '{s += $1} END {print s + 0}'
}
failures=0
# Release-to-press bars, hold bars, the chatter band left of the line, the dashed line (its
# label and the band's word are drawn in the same red).
for check in 2F5F9E:2500:interval FBD9B0:2000:hold FDEAEA:20000:chatter-band C00000:150:threshold; do
    hex=${check%%:*}
    rest=${check#*:}
    least=${rest%%:*}
    count=$(pixels "$hex")
    if [ "$count" -lt "$least" ]; then
        echo "FAIL: $count pixels of the ${rest#*:} colour #$hex (at least $least expected)"
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ] && echo "timing chart in the browser: bars, chatter band and threshold drawn"
exit "$failures"
