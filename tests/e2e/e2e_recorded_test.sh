#!/usr/bin/env bash
# Every test recorded: keys typed (one re-press within the threshold), then the Report button
# writes <prefix>00001.html, .csv, .log and .trace; the native tapwise-cli replays the .trace
# to exactly the log lines and the verdict the program showed, and a lower threshold finds no
# chatter in the same records.
# usage: e2e_recorded_test.sh PATH/Tapwise.exe BUILD_DIR
. "$(dirname "$0")/tapwise-e2e.sh"
e2e_init e2e-recorded-test "$1" "$2"
e2e_settings "[Layout]" "ChatterThreshold=2000" "[Logging]" "LogFilePrefix=Board"

# The replay runs on the native build when there is one (tapwise-cli under Wine otherwise).
cli="${TAPWISE_NATIVE_CLI:-$e2e_src/build/linux/tapwise-cli}"
replay() {
    if [ -x "$cli" ]; then
        "$cli" replay "$@"
    else
        wine "$BUILD/tapwise-cli.exe" replay "$@" 2>/dev/null | tr -d '\r'
    fi
}

e2e_start
e2e_type a a s d Up
sleep 0.3
e2e_inspect
e2e_click keyboard 1081
sleep 0.5
e2e_inspect
[ "$(e2e_text keyboard 1071)" = "Report saved" ] || e2e_fail "status line '$(e2e_text keyboard 1071)'"
[ "$(e2e_text keyboard 1003)" = "00002" ] || e2e_fail "sequence number $(e2e_text keyboard 1003)"
e2e_close

folder="$APPDATA_DIR/Quillmark/log"
for extension in html csv log trace; do
    [ -f "$folder/Board00001.$extension" ] || e2e_fail "no Board00001.$extension in $folder: $(ls "$folder")"
done
[ -z "$(find "$folder" -name '*.tmp' -o -name '*.old')" ] || e2e_fail "temporary files left in $folder"
cp "$folder"/Board00001.* "$WORK/"
trace="$WORK/Board00001.trace"

# The trace: its header, then one record per line with times in milliseconds and three decimals.
grep -q '^# program: ' "$trace" || e2e_fail "no program version in the trace"
grep -q '^# layout: 104 Key ANSI'$'\r''$' "$trace" || e2e_fail "no layout name in the trace"
grep -q '^# chatter threshold: 2000 ms'$'\r''$' "$trace" || e2e_fail "no threshold in the trace"
grep -q '^# clock: ' "$trace" || e2e_fail "no clock line in the trace"
grep -qE '^[0-9]+\.[0-9]{3} 0x1E 0 0x41 0x[0-9A-F]+'$'\r''$' "$trace" || e2e_fail "no record of A going down"

layout_file=$(sed -n 's/^# layout file: \(.*\)\r$/\1/p' "$trace")
if [ "$layout_file" = "(the built-in default layout)" ]; then
    layout=(--default)
else
    layout=(--layout "$(winepath -u "$layout_file" 2>/dev/null)")
fi

# The .log as Save writes it: UTF-16, each line after its time of day.
iconv -f UTF-16LE -t UTF-8 "$WORK/Board00001.log" | tr -d '\r' |
    sed -E 's/^[0-9]{2}:[0-9]{2}\.[0-9]{4} //' >"$WORK/program-lines.txt"
echo >>"$WORK/program-lines.txt"
grep -q 'CHATTER DETECTED' "$WORK/program-lines.txt" || e2e_fail "the program found no chatter"

replay "${layout[@]}" --threshold 2000 --report "$WORK/replay.html" "$trace" \
    >"$WORK/replay.txt" || e2e_fail "tapwise-cli replay failed"
sed -nE 's/^(log|fault): //p' "$WORK/replay.txt" >"$WORK/replay-lines.txt"
diff "$WORK/program-lines.txt" "$WORK/replay-lines.txt" >"$WORK/lines.diff" ||
    e2e_fail "the replay's log lines differ: $(cat "$WORK/lines.diff")"
verdict='<p class="verdict [a-z]+">[^<]*</p>'
program_verdict=$(grep -oE "$verdict" "$WORK/Board00001.html")
[ -n "$program_verdict" ] || e2e_fail "no verdict in the program's report"
[ "$(grep -oE "$verdict" "$WORK/replay.html")" = "$program_verdict" ] ||
    e2e_fail "the replay's verdict differs from '$program_verdict'"

# Another threshold shows what it would have found: at 0 ms, no chatter at all.
replay "${layout[@]}" --threshold 0 "$trace" >"$WORK/replay-0.txt" || e2e_fail "replay at 0 failed"
! grep -q 'CHATTER DETECTED' "$WORK/replay-0.txt" || e2e_fail "chatter found at threshold 0"

[ "$EXIT_CODE" = "1069" ] || e2e_fail "exit code '$EXIT_CODE', expected 1069"
echo "$E2E_NAME: ok ($(grep -c . "$WORK/program-lines.txt") log lines replayed alike)"
