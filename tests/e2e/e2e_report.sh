#!/usr/bin/env bash
# The test report: keys typed with one chatter, then the Report button writes <prefix>00001.html
# and .csv (with the .log and .trace of the test) into the log folder; the readout beside the
# layout status shows the figures.
# usage: e2e_report.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-report "$1" "$2"
e2e_settings "[Layout]" "ChatterThreshold=2000" "[Logging]" "LogFilePrefix=Board"

e2e_start
e2e_type a a s d
sleep 0.3
e2e_inspect
e2e_click keyboard 1081
sleep 0.5
e2e_inspect
e2e_shot e2e_report

folder="$APPDATA_DIR/Quillmark/log"
html="$folder/Board00001.html"
csv="$folder/Board00001.csv"
[ -f "$html" ] && [ -f "$csv" ] || e2e_fail "no report files in $folder: $(ls "$folder" 2>&1)"
[ -z "$(find "$folder" -name '*.tmp')" ] || e2e_fail "temporary files left in $folder"
cp "$html" "$csv" "$WORK/" # kept beside the screenshot for a look in a browser
status=$(e2e_text keyboard 1071)
[ "$status" = "Report saved" ] || e2e_fail "status line '$status'"
[ "$(e2e_text keyboard 1003)" = "00002" ] || e2e_fail "sequence number $(e2e_text keyboard 1003)"

# Focusing the window may add a Num Lock record, so the untested count is not fixed.
grep -qE 'FAIL: 1 faulty, [0-9]+ untested' "$html" || e2e_fail "no verdict line in the HTML"
grep -q '<th>Layout</th><td>104 Key ANSI</td>' "$html" || e2e_fail "no layout in the context"
grep -qE '<tr><td>[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}</td><td>A</td><td>0x001E</td>' "$html" ||
    e2e_fail "no chatter event of A in the HTML"
grep -q '<h2>Timing</h2>' "$html" || e2e_fail "no timing section in the HTML"
head -c 3 "$csv" | od -An -tx1 | grep -q 'ef bb bf' || e2e_fail "CSV without byte-order mark"
# Times in milliseconds with two decimals.
ms='[0-9]+\.[0-9]{2}'
grep -qE "^0x001E,A,A,yes,faulty,2,1,$ms,$ms,$ms"$'\r'"$" "$csv" || e2e_fail "CSV row of A"
grep -qE "^0x001F,S,S,yes,good,1,0,,$ms,$ms"$'\r'"$" "$csv" || e2e_fail "CSV row of S"
for extension in log trace; do
    [ -f "$folder/Board00001.$extension" ] || e2e_fail "no Board00001.$extension beside the report"
done

# The readout: its bar is filled from the left in the readout's green, and the faulty count
# is drawn in its red.
set -- $(e2e_rect keyboard 1080)
[ $# -eq 4 ] || e2e_fail "no readout control"
[ "$(e2e_pixel $(($1 + 2)) $((($2 + $4) / 2)))" = "2e642e" ] || e2e_fail "readout bar not filled"
convert "$SHOT" -crop $(($3 - $1))x$(($4 - $2))+$1+$2 +repage -format '%c' histogram:info: \
    >"$WORK/readout-colours.txt"
grep -qi '#FF6E6E' "$WORK/readout-colours.txt" || e2e_fail "the faulty count is not in red"
[ "$(e2e_visible keyboard 1081)" = "1" ] || e2e_fail "the Report button is hidden"

e2e_close
[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok (screenshot $SHOT)"
