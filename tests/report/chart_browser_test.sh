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
. "$(dirname "$0")/../support/browser_shot.sh"

"$writer" "$work/report.html" || { echo "FAIL: the report could not be written"; exit 1; }

# The chart follows the 104-key table, so the window is tall enough for the whole page.
screenshot "$work/report.html" "$shot" 1100,3600

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
