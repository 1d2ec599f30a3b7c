# Shared by the browser checks (sourced after $work, a scratch folder, is set): finds headless
# Chromium and ImageMagick, takes a screenshot of a page, and counts pixels of a colour in it.

browser=$(command -v chromium || command -v chromium-browser) || {
    echo "FAIL: chromium is not installed (tools/ensure-packages.sh test installs it)"
    exit 1
}
command -v convert > /dev/null || { echo "FAIL: ImageMagick convert is missing"; exit 1; }

# screenshot PAGE SHOT WIDTH,HEIGHT: a profile of its own and no network, so the page must show
# without fetching anything. Leaves the colour histogram of SHOT in $histogram.
screenshot() {
    timeout 120 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$work/profile" --screenshot="$2" --window-size="$3" \
        "file://$1" > "$work/browser.log" 2>&1
    [ -s "$2" ] || { echo "FAIL: no screenshot"; cat "$work/browser.log"; exit 1; }
    histogram=$(convert "$2" -format %c histogram:info:-)
}

# pixels RRGGBB: how many pixels of the last screenshot have that colour.
pixels() {
    printf '%s\n' "$histogram" | grep -i "#$1\b" | awk '{s += $1} END {print s + 0}'
}
